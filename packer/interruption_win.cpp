#include <windows.h>

#include <atomic>
#include <string>

#include "packer/interruption.h"

namespace gr::pack {
namespace {

constexpr UINT kInterruptedExit = 0xC000013A;  // STATUS_CONTROL_C_EXIT: how Windows ends a program on Ctrl-C

std::wstring removedPath;
std::atomic<const wchar_t*> removed{nullptr};

// Runs on a thread of its own. The temporary file is open for writing, shared for
// deletion: deleted now, it is gone once the tool ends, which it does at once.
BOOL WINAPI OnControl(DWORD) {
    if (const wchar_t* path = removed.load()) ::DeleteFileW(path);
    ::TerminateProcess(::GetCurrentProcess(), kInterruptedExit);
    return TRUE;
}

}  // namespace

RemovedOnInterruption::RemovedOnInterruption(const std::filesystem::path& path) {
    static const bool installed = ::SetConsoleCtrlHandler(OnControl, TRUE) != FALSE;
    (void)installed;
    removed = nullptr;
    removedPath = path.wstring();
    removed = removedPath.c_str();
}

RemovedOnInterruption::~RemovedOnInterruption() { removed = nullptr; }

// Windows' tool reads into a buffer, never mapped: a file cut short is a short read.
MappedReadGuard::MappedReadGuard(const std::filesystem::path&) {}
MappedReadGuard::~MappedReadGuard() = default;

}  // namespace gr::pack
