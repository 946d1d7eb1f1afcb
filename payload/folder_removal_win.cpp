#include "payload/folder_removal_win.h"

#include <vector>

#include "base/log.h"
#include "base/long_path.h"
#include "framework/checked_file_win.h"
#include "framework/handles_win.h"
#include "package/names.h"
#include "payload/removal.h"
#include "payload/working_folder.h"

namespace gr {
namespace {

// Removes the folder or link `path` with RemoveDirectoryW, which never follows the last
// name, trying again after a passing failure until the deadline.
bool RemoveWithRetry(const std::wstring& path, bool emptied, const DeleteRetry& retry, bool folder = true) {
    std::wstring target = LongPath(path);
    for (;;) {
        if (folder ? ::RemoveDirectoryW(target.c_str()) : ::DeleteFileW(target.c_str())) return true;
        DWORD error = ::GetLastError();
        if (!IsPassingDeleteFailure(error, folder, emptied) || ::GetTickCount64() >= retry.deadline) return false;
        retry.pause(kDeleteRetryPauseMilliseconds);
    }
}

// Deletes the file `path` through a handle that the link-safe open has shown to be that
// name's own file: never a link's target (a hard link's name is only that name, and goes).
// Tried again after a passing failure until the deadline. A refused file is logged and stays.
bool DeleteCheckedFile(const std::wstring& path, const DeleteRetry& retry) {
    std::wstring target = LongPath(path);
    for (;;) {
        CheckedFile opened = OpenCheckedFile(target, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             Creation::ExistingOnly, FileUse::Delete);
        if (opened.outcome == CheckedOutcome::Refused) {
            LogFormat(L"Refused to delete '%s': %s\n", path, RefusalText(opened.refusal));
            return false;
        }
        DWORD error = opened.error;
        if (opened.outcome == CheckedOutcome::Opened) {
            FILE_DISPOSITION_INFO disposition = {TRUE};
            if (::SetFileInformationByHandle(opened.file.Get(), FileDispositionInfo, &disposition, sizeof(disposition)))
                return true;  // gone once the handle closes
            error = ::GetLastError();
        }
        if (error == ERROR_FILE_NOT_FOUND) return true;
        if (!IsPassingDeleteFailure(error, false, false) || ::GetTickCount64() >= retry.deadline) return false;
        retry.pause(kDeleteRetryPauseMilliseconds);
    }
}

bool RemoveFolder(const std::wstring& path, bool emptied, const DeleteRetry& retry) {
    LogFormat(L"Remove Folder '%s'\n", path);
    return RemoveWithRetry(path, emptied, retry);
}

// One folder of the tree being deleted, with its search still open. Its handle is held,
// without delete sharing, until the folder's contents are gone: nobody can rename it or
// put a link in its place, so every path that runs through it names what was found.
struct Level {
    std::wstring path;
    FileHandle pin;
    FindHandle search;
    bool searched = false;  // the search has begun
    bool emptied = true;
};

// Opens the folder `path` without following a link at its name. False when it cannot be
// opened, is a link, or is not the entry it names in its parent (a link shown as a plain
// folder). The name's own attributes are asked too, once the folder is held: some systems
// show a link only there.
bool PinFolder(const std::wstring& path, FileHandle& pin) {
    std::wstring target = LongPath(path);
    pin.Reset(::CreateFileW(target.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    std::wstring parent, name;
    if (pin && ::GetFileInformationByHandle(pin.Get(), &info) && SplitFolderAndName(target, parent, name)) {
        DWORD named = ::GetFileAttributesW(target.c_str());
        DWORD found = info.dwFileAttributes | (named == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_REPARSE_POINT : named);
        if ((found & FILE_ATTRIBUTE_DIRECTORY) && !(found & FILE_ATTRIBUTE_REPARSE_POINT) &&
            IsAtName(pin.Get(), FolderFinalPath(parent), name, target))
            return true;
    }
    pin.Reset();
    return false;
}

// The level's next entry other than "." and ".."; false when its search has ended.
bool NextEntry(Level& level, WIN32_FIND_DATAW& found) {
    for (;;) {
        if (!level.searched) {
            level.searched = true;
            level.search.Reset(::FindFirstFileExW(LongPath(level.path + L"\\*.*").c_str(), FindExInfoStandard, &found,
                                                  FindExSearchNameMatch, nullptr, 0));
            if (!level.search) return false;
        } else if (!level.search || !::FindNextFileW(level.search.Get(), &found)) {
            return false;
        }
        if (std::wcscmp(found.cFileName, L".") != 0 && std::wcscmp(found.cFileName, L"..") != 0) return true;
    }
}

// Enters the folder `path` as a new level. A folder that cannot be pinned (a link put in
// its place, or one that cannot be opened) is only removed, which takes a link itself or
// an empty folder; the answer is whether it went.
bool Enter(const std::wstring& path, std::vector<Level>& levels, const DeleteRetry& retry) {
    Level level;
    if (!PinFolder(path, level.pin)) return RemoveFolder(path, false, retry);
    level.path = path;
    levels.push_back(std::move(level));
    return true;
}

// Deletes one entry of the deepest level, in the order the search gives it: a file or a
// link at once, a subfolder entered (its contents then come before the level's next entry).
void DeleteEntry(const WIN32_FIND_DATAW& found, std::vector<Level>& levels, const DeleteRetry& retry) {
    size_t depth = levels.size();
    std::wstring full = levels.back().path + L"\\" + found.cFileName;
    bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    bool deleted = true;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A junction, symbolic link or mount point: remove the link, never what it names.
        LogFormat(L"Deletion link '%s'\n", full);
        deleted = RemoveWithRetry(full, false, DeleteRetry{}, folder);  // one attempt: no deadline
        if (!deleted) LogFormat(L"Link not removed '%s', error %u\n", full, static_cast<uint32_t>(::GetLastError()));
    } else if (folder) {
        LogFormat(L"Deletion subfolder Folder of '%s'\n", full);
        if (depth >= kRemovalDepthLimit) {
            LogFormat(L"Folder tree deeper than %u levels: '%s' left\n", static_cast<uint32_t>(kRemovalDepthLimit), full);
            deleted = false;
        } else {
            deleted = Enter(full, levels, retry);
        }
    } else {
        LogFormat(L"Deletion file '%s'\n", full);
        deleted = DeleteCheckedFile(full, retry);
    }
    if (!deleted) levels[depth - 1].emptied = false;
}

}  // namespace

void RemoveWorkingFolder(const std::wstring& folder, const ResourceCatalogue& catalogue, const DeleteRetry& retry) {
    for (const CResource& entry : catalogue) {
        std::wstring path;
        if (entry.fileName.empty() || !IsContainedName(entry.fileName) || !JoinPath(folder, entry.fileName, path))
            continue;
        LogFormat(L"Manual Deletion of '%s'\n", path);
        DeleteCheckedFile(path, retry);
    }
    ::SetCurrentDirectoryW(L"\\");  // the launch made the folder current, which would keep it
    LogFormat(L"Deletion Folder of '%s'\n", folder);
    DeleteFolderTree(folder, retry);
}

// Depth first over an explicit list of levels, each holding its open search, not by
// recursion: the lines come in the order the searches give the entries, and a deep tree
// takes no more stack than a flat one. Below kRemovalDepthLimit levels nothing is entered.
bool DeleteFolderTree(const std::wstring& path, const DeleteRetry& retry) {
    std::wstring top = path;
    while (top.size() > 3 && top.back() == L'\\') top.pop_back();
    std::vector<Level> levels;
    bool removed = Enter(top, levels, retry);
    while (!levels.empty()) {
        WIN32_FIND_DATAW found;
        if (NextEntry(levels.back(), found)) {
            DeleteEntry(found, levels, retry);
            continue;
        }
        bool emptied = levels.back().emptied;
        std::wstring done = std::move(levels.back().path);
        levels.pop_back();  // lets go of the folder and its search, so that it can be removed
        removed = RemoveFolder(levels.empty() ? path : done, emptied, retry);
        if (!levels.empty()) levels.back().emptied &= removed;
    }
    return removed;
}

}  // namespace gr
