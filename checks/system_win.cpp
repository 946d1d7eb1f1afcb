#include "checks/system_win.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "checks/installer_engine.h"
#include "framework/system_library_win.h"

namespace gr {
namespace {

// The version library's three entry points, looked up at run time so that the import
// table names only DLLs that always come from the system folder.
struct VersionLibrary {
    using SizeFn = DWORD(WINAPI*)(const wchar_t*, DWORD*);
    using InfoFn = BOOL(WINAPI*)(const wchar_t*, DWORD, DWORD, void*);
    using QueryFn = BOOL(WINAPI*)(const void*, const wchar_t*, void**, UINT*);

    bool Usable() const { return size && info && query; }

    SystemLibrary library{L"version.dll"};
    SizeFn size = library.Find<SizeFn>("GetFileVersionInfoSizeW");
    InfoFn info = library.Find<InfoFn>("GetFileVersionInfoW");
    QueryFn query = library.Find<QueryFn>("VerQueryValueW");
};

// Frees an item identifier list through the shell's allocator.
void FreeItemList(LPITEMIDLIST list) {
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(::SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(list);
        allocator->Release();
    }
}

}  // namespace

bool IsWindowsXpOrLater() {
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) return false;
    return IsXpOrLater(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

bool GetSpecialFolderPath(int folder, std::wstring& path) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, folder, &list))) return false;
    wchar_t buffer[MAX_PATH] = {};
    bool found = ::SHGetPathFromIDListW(list, buffer) != FALSE;
    FreeItemList(list);
    if (!found) return false;
    path.assign(buffer).append(L"\\");
    return true;
}

bool GetFileVersionNumbers(const std::wstring& path, unsigned& major, unsigned& minor) {
    VersionLibrary library;
    if (!library.Usable()) return false;
    DWORD handle = 0;
    DWORD size = library.size(path.c_str(), &handle);
    if (size == 0) return false;
    std::vector<unsigned char> block(size);
    VS_FIXEDFILEINFO fixed = {};
    void* found = nullptr;
    UINT length = 0;
    if (!library.info(path.c_str(), 0, size, block.data()) || !library.query(block.data(), L"\\", &found, &length))
        return false;
    if (found && length >= sizeof(fixed)) fixed = *static_cast<const VS_FIXEDFILEINFO*>(found);
    FileVersion version;
    if (!ReadFixedFileVersion(fixed.dwSignature, fixed.dwFileVersionMS, version)) return false;
    major = version.major;
    minor = version.minor;
    return true;
}

bool CheckInstallerEngine() {
    if (IsWindowsXpOrLater()) return true;
    std::wstring folder;
    if (!GetSpecialFolderPath(CSIDL_SYSTEM, folder)) return false;
    FileVersion version;
    return GetFileVersionNumbers(folder + L"MSI.DLL", version.major, version.minor) &&
           EngineVersionAcceptable(version);
}

}  // namespace gr
