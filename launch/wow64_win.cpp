#include "launch/wow64_win.h"

#include <windows.h>

namespace gr {
namespace {

// kernel32 is in every process from its start, so it is taken, not loaded.
FARPROC Kernel32Entry(const char* name, FARPROC& cached) {
    if (!cached) cached = ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name);
    return cached;
}

FARPROC isWow64Entry = nullptr;
FARPROC disableEntry = nullptr;
FARPROC revertEntry = nullptr;
void* savedRedirection = nullptr;  // what the disable call hands back for the revert

template <class Function>
Function As(FARPROC entry) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(entry));
}

}  // namespace

bool IsRunningUnderWow64() {
    auto isWow64 = As<BOOL(WINAPI*)(HANDLE, BOOL*)>(Kernel32Entry("IsWow64Process", isWow64Entry));
    if (!isWow64) return false;
    BOOL wow64 = FALSE;
    isWow64(::GetCurrentProcess(), &wow64);
    return wow64 != FALSE;
}

void DisableFsRedirection() {
    if (!IsRunningUnderWow64()) return;
    auto disable = As<BOOL(WINAPI*)(void**)>(Kernel32Entry("Wow64DisableWow64FsRedirection", disableEntry));
    if (disable) disable(&savedRedirection);
}

bool RevertFsRedirection() {
    if (!IsRunningUnderWow64()) return false;
    auto revert = As<BOOL(WINAPI*)(void*)>(Kernel32Entry("Wow64RevertWow64FsRedirection", revertEntry));
    return revert && revert(savedRedirection);
}

}  // namespace gr
