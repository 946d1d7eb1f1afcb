#include "framework/checked_file_win.h"

#include <winternl.h>

#include <vector>

namespace gr {
namespace {

bool SameName(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

// The long form of the last name of `path` ("LOGFIL~1.TXT" gives "logfile.txt"); empty when
// it cannot be read.
std::wstring LongNameOf(const std::wstring& path) {
    DWORD size = ::GetLongPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) return std::wstring();
    std::wstring full(size, L'\0');
    DWORD length = ::GetLongPathNameW(path.c_str(), full.data(), size);
    if (length == 0 || length >= size) return std::wstring();
    full.resize(length);
    return full.substr(full.find_last_of(L'\\') + 1);
}

// The path the object manager holds for `handle`, in the final path's DOS form ("\\?\C:\...")
// when it names a drive; empty otherwise. Wine's GetFinalPathNameByHandleW reads this very
// name through a buffer of the classic path limit and fails beyond it, so a longer path is
// read here with room for any length.
std::wstring ObjectPathOf(HANDLE handle) {
    using QueryObject = LONG(NTAPI*)(HANDLE, OBJECT_INFORMATION_CLASS, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
    if (!query) return std::wstring();
    std::vector<unsigned char> buffer(sizeof(OBJECT_NAME_INFORMATION) + 65536 * sizeof(wchar_t));
    ULONG needed = 0;
    if (query(handle, ObjectNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) < 0)
        return std::wstring();
    const auto* name = reinterpret_cast<const OBJECT_NAME_INFORMATION*>(buffer.data());
    std::wstring path(name->Name.Buffer, name->Name.Length / sizeof(wchar_t));
    constexpr wchar_t kDosDevices[] = L"\\??\\";
    if (path.rfind(kDosDevices, 0) != 0 || path.size() < 6 || path[5] != L':') return std::wstring();
    return L"\\\\?\\" + path.substr(4);
}

CheckedFile FailedWith(DWORD error) {
    CheckedFile result;
    result.error = error != 0 ? error : ERROR_GEN_FAILURE;
    return result;
}

// A name that could not be opened as a file: refused when the name itself is a link (its
// own attributes, not followed); otherwise failed with the system's error, and marked as a
// folder when it is one.
CheckedFile NotOpened(const std::wstring& path, DWORD error) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        CheckedFile result;
        result.outcome = CheckedOutcome::Refused;
        result.refusal = FileRefusal::Link;
        return result;
    }
    CheckedFile result = FailedWith(error);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        result.refusal = FileRefusal::Folder;
    return result;
}

HANDLE OpenAtName(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    return ::CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES | SYNCHRONIZE, share, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

}  // namespace

std::wstring FolderFinalPath(const std::wstring& folder) {
    FileHandle opened(::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return opened ? FinalPathOf(opened.Get()) : std::wstring();
}

std::wstring FinalPathOf(HANDLE handle) {
    wchar_t small[MAX_PATH];
    DWORD length = ::GetFinalPathNameByHandleW(handle, small, MAX_PATH, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return ObjectPathOf(handle);
    if (length < MAX_PATH) return std::wstring(small, length);
    // Too long for the first buffer: `length` is the size it needs (with or without the
    // terminator, as systems differ), so one more is always enough.
    std::wstring path(length + 1, L'\0');
    DWORD again = ::GetFinalPathNameByHandleW(handle, path.data(), length + 1, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (again == 0 || again > length) return std::wstring();
    path.resize(again);
    return path;
}

namespace {

bool MatchesName(const std::wstring& opened, const std::wstring& folderFinal, const std::wstring& name,
                 const std::wstring& path) {
    if (opened.empty() || folderFinal.empty()) return false;
    if (SameName(opened, ExpectedFinalPath(folderFinal, name))) return true;
    std::wstring longName = LongNameOf(path);
    return !longName.empty() && SameName(opened, ExpectedFinalPath(folderFinal, longName));
}

// The facts of an open handle for the refusal rule; false when they cannot be read.
bool ReadOpenedFacts(HANDLE file, const std::wstring& folderFinal, const std::wstring& name,
                     const std::wstring& path, OpenedFacts& facts) {
    BY_HANDLE_FILE_INFORMATION info;
    std::wstring opened = FinalPathOf(file);
    if (!::GetFileInformationByHandle(file, &info) || opened.empty()) return false;
    // The name's own attributes too: some systems (Wine) show a link to a folder as a
    // reparse point only there, and open the folder it names.
    DWORD named = ::GetFileAttributesW(path.c_str());
    facts.attributes = info.dwFileAttributes | (named == INVALID_FILE_ATTRIBUTES ? 0 : named & FILE_ATTRIBUTE_REPARSE_POINT);
    facts.links = info.nNumberOfLinks;
    facts.atItsName = MatchesName(opened, folderFinal, name, path);
    return true;
}

// Opens the existing file at the name or, when `creation` allows and it is missing, a new
// one. A name missing when opened yet there when created is a link whose target is missing
// (a dangling link, which Wine shows as nothing at all): `dangling`.
FileHandle OpenOrCreate(const std::wstring& path, DWORD access, DWORD share, Creation creation, DWORD& error,
                        bool& dangling) {
    FileHandle file(OpenAtName(path, access, share, OPEN_EXISTING));
    error = file ? 0 : ::GetLastError();
    if (!file && error == ERROR_FILE_NOT_FOUND && creation == Creation::CreateIfMissing) {
        // Only ever a new file: whatever appears at the name meanwhile is not taken over.
        file.Reset(OpenAtName(path, access, share, CREATE_NEW));
        error = file ? 0 : ::GetLastError();
        dangling = error == ERROR_FILE_EXISTS;
    }
    return file;
}

CheckedFile RefusedFor(FileRefusal refusal) {
    CheckedFile result;
    result.outcome = CheckedOutcome::Refused;
    result.refusal = refusal;
    return result;
}

}  // namespace

bool IsAtName(HANDLE file, const std::wstring& folderFinal, const std::wstring& name, const std::wstring& path) {
    return MatchesName(FinalPathOf(file), folderFinal, name, path);
}

CheckedFile OpenCheckedFile(const std::wstring& path, DWORD access, DWORD share, Creation creation, FileUse use) {
    std::wstring folder, name;
    if (!SplitFolderAndName(path, folder, name)) return FailedWith(ERROR_INVALID_NAME);
    std::wstring folderFinal = FolderFinalPath(folder);
    if (folderFinal.empty()) return FailedWith(::GetLastError());
    DWORD error = 0;
    bool dangling = false;
    FileHandle file = OpenOrCreate(path, access, share, creation, error, dangling);
    if (dangling) return RefusedFor(FileRefusal::Link);
    if (!file) return NotOpened(path, error);
    OpenedFacts facts;
    if (!ReadOpenedFacts(file.Get(), folderFinal, name, path, facts)) return FailedWith(::GetLastError());
    FileRefusal refusal = RefusalOf(facts, use);
    if (refusal == FileRefusal::Folder) {
        CheckedFile atFolder = FailedWith(ERROR_DIRECTORY);
        atFolder.refusal = FileRefusal::Folder;
        return atFolder;
    }
    if (refusal != FileRefusal::None) return RefusedFor(refusal);  // closed untouched
    CheckedFile result;
    result.file = std::move(file);
    result.outcome = CheckedOutcome::Opened;
    return result;
}

bool EmptyFile(HANDLE file) {
    LARGE_INTEGER size;
    if (::GetFileSizeEx(file, &size) && size.QuadPart == 0) return true;
    return ::SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER && ::SetEndOfFile(file);
}

bool FullPathOf(const std::wstring& typed, std::wstring& full) {
    wchar_t buffer[MAX_PATH];
    DWORD length = typed.empty() ? ::GetCurrentDirectoryW(MAX_PATH, buffer)
                                 : ::GetFullPathNameW(typed.c_str(), MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH) return false;
    full.assign(buffer, length);
    return true;
}

}  // namespace gr
