#include "wizard/files_win.h"

#include "wizard/handles_win.h"

namespace wiz {
namespace {

constexpr LONGLONG kMaxReadBytes = 16 * 1024 * 1024;

}  // namespace

DWORD ReadWholeFile(const std::wstring& path, std::string& bytes) {
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !::GetFileSizeEx(file.Get(), &size)) return ::GetLastError();
    if (size.QuadPart > kMaxReadBytes) return ERROR_FILE_TOO_LARGE;
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return ::GetLastError();
    return read == bytes.size() ? 0 : ERROR_HANDLE_EOF;
}

DWORD WriteWholeFile(const std::wstring& path, std::string_view bytes) {
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ::GetLastError();
    DWORD written = 0;
    if (!bytes.empty() && !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return ::GetLastError();
    return written == bytes.size() ? 0 : ERROR_WRITE_FAULT;
}

DWORD CreateFolderPath(const std::wstring& folder) {
    DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : ERROR_DIRECTORY;
    size_t slash = folder.find_last_of(L'\\');
    if (slash != std::wstring::npos && slash > 0) {
        DWORD error = CreateFolderPath(folder.substr(0, slash));
        if (error != 0) return error;
    }
    if (::CreateDirectoryW(folder.c_str(), nullptr)) return 0;
    DWORD error = ::GetLastError();
    return error == ERROR_ALREADY_EXISTS ? 0 : error;
}

std::wstring OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

}  // namespace wiz
