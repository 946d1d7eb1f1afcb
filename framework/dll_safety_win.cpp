#include "framework/dll_safety_win.h"

#include <string>

namespace gr {
namespace {

// Search flags for LoadLibraryExW exist where kernel32 exports AddDllDirectory (Windows 8,
// and Windows 7 with its loader update).
bool SearchFlagsSupported() {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel && ::GetProcAddress(kernel, "AddDllDirectory") != nullptr;
}

}  // namespace

#ifndef GEARRACK_UNPROTECTED_DLL_SEARCH

void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // Older loaders: at least take the current directory out of the search.
    ::SetDllDirectoryW(L"");
}

Module LoadSystemLibrary(const wchar_t* name) {
    if (SearchFlagsSupported()) return Module(::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    wchar_t folder[MAX_PATH];
    UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return Module();
    std::wstring path(folder, length);
    path.append(L"\\").append(name);
    return Module(::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

#else  // A deliberately unprotected build, made only to show that the DLL tests can fail.

void RestrictDllSearch() {}

Module LoadSystemLibrary(const wchar_t* name) {
    (void)SearchFlagsSupported;
    return Module(::LoadLibraryW(name));
}

#endif

}  // namespace gr
