#include "packer/interruption.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

#include "packer/file_io.h"

namespace gr::pack {
namespace {

// Read by the signal handlers: each is set (or cleared) whole before the pointer to it is.
std::string removedPath;
std::string readMessage;
const char* volatile removed = nullptr;
const char* volatile reading = nullptr;
sigset_t deferredSignals;
sigset_t signalsBeforeDeferral;

void OnInterruption(int number) {
    if (const char* path = removed) ::unlink(path);
    ::signal(number, SIG_DFL);
    ::raise(number);
}

void OnBusError(int number) {
    const char* message = reading;
    if (message == nullptr) {  // not ours: the default action, when the fault repeats
        ::signal(number, SIG_DFL);
        return;
    }
    ssize_t ignored = ::write(STDERR_FILENO, message, std::strlen(message));
    (void)ignored;
    if (const char* path = removed) ::unlink(path);
    ::_exit(1);
}

void Install(int number, void (*handler)(int), bool keepIgnored) {
    struct sigaction action {};
    if (keepIgnored && ::sigaction(number, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) return;
    action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    ::sigaction(number, &action, nullptr);
}

void InstallOnce() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    sigemptyset(&deferredSignals);
    for (int number : {SIGINT, SIGTERM, SIGHUP}) {
        Install(number, OnInterruption, true);
        sigaddset(&deferredSignals, number);
    }
    Install(SIGBUS, OnBusError, false);
}

}  // namespace

RemovedOnInterruption::RemovedOnInterruption(const std::filesystem::path& path) {
    InstallOnce();
    removed = nullptr;
    removedPath = path.string();
    removed = removedPath.c_str();
}

RemovedOnInterruption::~RemovedOnInterruption() { removed = nullptr; }

// Blocked, a signal stays pending; it is delivered, to the handler installed here, as soon
// as the mask is restored.
InterruptionsDeferred::InterruptionsDeferred() {
    InstallOnce();
    ::sigprocmask(SIG_BLOCK, &deferredSignals, &signalsBeforeDeferral);
}

InterruptionsDeferred::~InterruptionsDeferred() { ::sigprocmask(SIG_SETMASK, &signalsBeforeDeferral, nullptr); }

MappedReadGuard::MappedReadGuard(const std::filesystem::path& input) {
    InstallOnce();
    reading = nullptr;
    readMessage = PathText(input) + ": changed while it was read\n";
    reading = readMessage.c_str();
}

MappedReadGuard::~MappedReadGuard() { reading = nullptr; }

}  // namespace gr::pack
