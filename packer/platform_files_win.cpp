#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "packer/platform_files.h"

namespace gr::pack {
namespace {

// Closes a handle that was not handed on to the C run-time.
struct HandleOwner {
    HANDLE handle;
    ~HandleOwner() {
        if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    }
    HANDLE Release() {
        HANDLE released = handle;
        handle = INVALID_HANDLE_VALUE;
        return released;
    }
};

FileFacts FactsFrom(HANDLE handle) {
    FileFacts facts;
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        facts.kind = FileKind::Other;
    } else if (!::GetFileInformationByHandle(handle, &information)) {
        facts.kind = FileKind::Unreadable;
    } else {
        DWORD attributes = information.dwFileAttributes;
        facts.kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? FileKind::Link
                     : (attributes & FILE_ATTRIBUTE_DIRECTORY)   ? FileKind::Folder
                                                                 : FileKind::Regular;
        facts.volume = information.dwVolumeSerialNumber;
        facts.index = (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
        facts.size = (static_cast<uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
        facts.modified = static_cast<int64_t>((static_cast<uint64_t>(information.ftLastWriteTime.dwHighDateTime) << 32) |
                                              information.ftLastWriteTime.dwLowDateTime);
    }
    return facts;
}

FileKind MissingOrUnreadable() {
    DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileKind::Missing : FileKind::Unreadable;
}

std::FILE* Adopt(HandleOwner& owner, int flags, const char* mode) {
    int descriptor = ::_open_osfhandle(reinterpret_cast<intptr_t>(owner.handle), flags);
    if (descriptor < 0) return nullptr;
    owner.Release();
    std::FILE* file = ::_fdopen(descriptor, mode);
    if (file == nullptr) ::_close(descriptor);
    return file;
}

}  // namespace

FileFacts LookAt(const std::filesystem::path& path) {
    HandleOwner owner{::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)};
    if (owner.handle != INVALID_HANDLE_VALUE) return FactsFrom(owner.handle);
    FileFacts facts;
    facts.kind = MissingOrUnreadable();
    return facts;
}

FileFacts FactsOf(std::FILE* file) {
    FileFacts facts;
    facts.kind = FileKind::Unreadable;
    if (file == nullptr) return facts;
    auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    return handle == INVALID_HANDLE_VALUE ? facts : FactsFrom(handle);
}

std::FILE* OpenRegular(const std::filesystem::path& path, FileKind& found) {
    // Others may read it meanwhile, never change it: the bytes packed are the bytes measured.
    HandleOwner owner{::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
    if (owner.handle == INVALID_HANDLE_VALUE) {
        found = ::GetLastError() == ERROR_ACCESS_DENIED && LookAt(path).kind == FileKind::Folder ? FileKind::Folder
                                                                                              : MissingOrUnreadable();
        return nullptr;
    }
    found = FactsFrom(owner.handle).kind;
    if (found == FileKind::Link) found = FileKind::Regular;  // opened through the link: the file itself
    return found == FileKind::Regular ? Adopt(owner, _O_RDONLY | _O_BINARY, "rb") : nullptr;
}

std::FILE* CreateNew(const std::filesystem::path& path) {
    // CREATE_NEW fails on any name that exists, a link's (dangling or not) included.
    HandleOwner owner{::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (owner.handle == INVALID_HANDLE_VALUE) return nullptr;
    return Adopt(owner, _O_WRONLY | _O_BINARY, "wb");
}

bool ReplaceWith(const std::filesystem::path& from, const std::filesystem::path& to, std::string& why) {
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    why = "error " + std::to_string(::GetLastError());
    return false;
}

}  // namespace gr::pack
