#include "payload/folder_removal_win.h"

#include "base/log.h"
#include "framework/handles_win.h"
#include "payload/removal.h"
#include "payload/working_folder.h"

namespace gr {
namespace {

// A path the file functions take at any length: full paths from 248 characters on get
// the extended-length prefix.
std::wstring LongPath(const std::wstring& path) {
    if (path.size() < 248 || path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

// Runs `attempt` until it succeeds, fails for good, or the deadline passes.
template <class Attempt>
bool WithRetry(Attempt attempt, bool isFolder, bool contentsDeleted, const DeleteRetry& retry) {
    for (;;) {
        if (attempt()) return true;
        DWORD error = ::GetLastError();
        if (!IsPassingDeleteFailure(error, isFolder, contentsDeleted) || ::GetTickCount64() >= retry.deadline)
            return false;
        retry.pause(kDeleteRetryPauseMilliseconds);
    }
}

bool DeleteFileWithRetry(const std::wstring& path, const DeleteRetry& retry) {
    std::wstring target = LongPath(path);
    return WithRetry([&] { return ::DeleteFileW(target.c_str()) != FALSE; }, false, false, retry);
}

}  // namespace

void RemoveWorkingFolder(const std::wstring& folder, const ResourceCatalogue& catalogue, const DeleteRetry& retry) {
    for (const CResource& entry : catalogue) {
        std::wstring path;
        if (entry.fileName.empty() || !IsContainedName(entry.fileName) || !JoinPath(folder, entry.fileName, path))
            continue;
        LogFormat(L"Manual Deletion of '%s'\n", path);
        DeleteFileWithRetry(path, retry);
    }
    ::SetCurrentDirectoryW(L"\\");  // the launch made the folder current, which would keep it
    LogFormat(L"Deletion Folder of '%s'\n", folder);
    DeleteFolderTree(folder, retry);
}

bool DeleteFolderTree(const std::wstring& path, const DeleteRetry& retry) {
    std::wstring prefix = path;
    if (prefix.empty() || prefix.back() != L'\\') prefix.push_back(L'\\');
    bool emptied = true;
    WIN32_FIND_DATAW found;
    FindHandle search(::FindFirstFileExW(LongPath(prefix + L"*.*").c_str(), FindExInfoStandard, &found,
                                         FindExSearchNameMatch, nullptr, 0));
    for (bool more = static_cast<bool>(search); more; more = ::FindNextFileW(search.Get(), &found) != FALSE) {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring full = prefix + name;
        bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A junction, symbolic link or mount point: remove the link, never what it names.
            LogFormat(L"Deletion link '%s'\n", full);
            std::wstring target = LongPath(full);
            emptied &= folder ? ::RemoveDirectoryW(target.c_str()) != FALSE : ::DeleteFileW(target.c_str()) != FALSE;
        } else if (folder) {
            LogFormat(L"Deletion subfolder Folder of '%s'\n", full);
            emptied &= DeleteFolderTree(full, retry);
        } else {
            LogFormat(L"Deletion file '%s'\n", full);
            emptied &= DeleteFileWithRetry(full, retry);
        }
    }
    search.Reset();
    LogFormat(L"Remove Folder '%s'\n", path);
    std::wstring target = LongPath(path);
    return WithRetry([&] { return ::RemoveDirectoryW(target.c_str()) != FALSE; }, true, emptied, retry);
}

}  // namespace gr
