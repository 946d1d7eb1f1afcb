#include <windows.h>

#include <atomic>
#include <string>

#include "packer/interruption.h"

namespace gr::pack {
namespace {

constexpr UINT kInterruptedExit = 0xC000013A;  // STATUS_CONTROL_C_EXIT: how Windows ends a program on Ctrl-C

std::wstring removedPath;
std::atomic<const wchar_t*> removed{nullptr};
// Held while a temporary file is created and registered; the handler waits for it.
SRWLOCK registering = SRWLOCK_INIT;

// Runs on a thread of its own. The temporary file is open for writing, shared for
// deletion: deleted now, it is gone once the tool ends, which it does at once.
BOOL WINAPI OnControl(DWORD) {
    ::AcquireSRWLockExclusive(&registering);
    if (const wchar_t* path = removed.load()) ::DeleteFileW(path);
    ::TerminateProcess(::GetCurrentProcess(), kInterruptedExit);
    return TRUE;
}

void InstallOnce() {
    static const bool installed = ::SetConsoleCtrlHandler(OnControl, TRUE) != FALSE;
    (void)installed;
}

}  // namespace

RemovedOnInterruption::RemovedOnInterruption(const std::filesystem::path& path) {
    InstallOnce();
    removed = nullptr;
    removedPath = path.wstring();
    removed = removedPath.c_str();
}

RemovedOnInterruption::~RemovedOnInterruption() { removed = nullptr; }

InterruptionsDeferred::InterruptionsDeferred() {
    InstallOnce();
    ::AcquireSRWLockExclusive(&registering);
}

InterruptionsDeferred::~InterruptionsDeferred() { ::ReleaseSRWLockExclusive(&registering); }

// Windows' tool reads into a buffer, never mapped: a file cut short is a short read.
MappedReadGuard::MappedReadGuard(const std::filesystem::path&) {}
MappedReadGuard::~MappedReadGuard() = default;

}  // namespace gr::pack
