#include "payload/folder_removal_win.h"

#include <vector>

#include "base/log.h"
#include "base/long_path.h"
#include "framework/handles_win.h"
#include "package/names.h"
#include "payload/removal.h"
#include "payload/working_folder.h"

namespace gr {
namespace {

// Deletes the file `path`, or removes the folder or link `path` when `folder`, trying again
// after a passing failure until the deadline. A link or an emptied folder goes with
// RemoveDirectoryW, which never follows the last name.
bool DeleteWithRetry(const std::wstring& path, bool folder, bool emptied, const DeleteRetry& retry) {
    std::wstring target = LongPath(path);
    for (;;) {
        if (folder ? ::RemoveDirectoryW(target.c_str()) : ::DeleteFileW(target.c_str())) return true;
        DWORD error = ::GetLastError();
        if (!IsPassingDeleteFailure(error, folder, emptied) || ::GetTickCount64() >= retry.deadline) return false;
        retry.pause(kDeleteRetryPauseMilliseconds);
    }
}

bool RemoveFolder(const std::wstring& path, bool emptied, const DeleteRetry& retry) {
    LogFormat(L"Remove Folder '%s'\n", path);
    return DeleteWithRetry(path, true, emptied, retry);
}

// One folder of the tree being deleted. Its handle is held, without delete sharing, until
// the folder's contents are gone: nobody can rename it or put a link in its place, so
// every path that runs through it names what was found.
struct Level {
    size_t length = 0;        // of the path up to the end of this folder's name
    FileHandle pin;
    size_t firstSubfolder = 0;  // where its subfolders still to delete start in the common list
    bool emptied = true;
};

// Opens the folder `path` without following a link at its name. False when it cannot be
// opened or turns out to be a link. The name's own attributes are asked too, once the
// folder is held: some systems show a link only there.
bool PinFolder(const std::wstring& path, FileHandle& pin) {
    std::wstring target = LongPath(path);
    pin.Reset(::CreateFileW(target.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (pin && ::GetFileInformationByHandle(pin.Get(), &info)) {
        DWORD named = ::GetFileAttributesW(target.c_str());
        DWORD found = info.dwFileAttributes | (named == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_REPARSE_POINT : named);
        if ((found & FILE_ATTRIBUTE_DIRECTORY) && !(found & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    }
    pin.Reset();
    return false;
}

// Deletes the files and links directly in `level`'s folder and notes its subfolders.
void ListFolder(const std::wstring& path, Level& level, std::vector<std::wstring>& subfolders,
                const DeleteRetry& retry) {
    std::wstring prefix = path + L"\\";
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
            level.emptied &= DeleteWithRetry(full, folder, false, DeleteRetry{});  // one attempt: no deadline
        } else if (folder) {
            subfolders.push_back(std::move(name));
        } else {
            LogFormat(L"Deletion file '%s'\n", full);
            level.emptied &= DeleteWithRetry(full, false, false, retry);
        }
    }
}

// Enters the folder `path` (its length is `path.size()`): pins and lists it as a new level.
// A folder that cannot be pinned (a link put in its place, or one that cannot be opened) is
// only removed, which takes a link itself or an empty folder; the answer is whether it went.
bool Enter(const std::wstring& path, std::vector<Level>& levels, std::vector<std::wstring>& subfolders,
           const DeleteRetry& retry) {
    Level level;
    if (!PinFolder(path, level.pin)) return RemoveFolder(path, false, retry);
    level.length = path.size();
    level.firstSubfolder = subfolders.size();
    ListFolder(path, level, subfolders, retry);
    levels.push_back(std::move(level));
    return true;
}

}  // namespace

void RemoveWorkingFolder(const std::wstring& folder, const ResourceCatalogue& catalogue, const DeleteRetry& retry) {
    for (const CResource& entry : catalogue) {
        std::wstring path;
        if (entry.fileName.empty() || !IsContainedName(entry.fileName) || !JoinPath(folder, entry.fileName, path))
            continue;
        LogFormat(L"Manual Deletion of '%s'\n", path);
        DeleteWithRetry(path, false, false, retry);
    }
    ::SetCurrentDirectoryW(L"\\");  // the launch made the folder current, which would keep it
    LogFormat(L"Deletion Folder of '%s'\n", folder);
    DeleteFolderTree(folder, retry);
}

// Depth first over an explicit list of levels, not by recursion: a tree of any depth (a
// wizard can leave thousands of levels through extended-length paths) takes no more stack
// than a flat one.
bool DeleteFolderTree(const std::wstring& path, const DeleteRetry& retry) {
    std::wstring current = path;
    while (current.size() > 3 && current.back() == L'\\') current.pop_back();
    std::vector<Level> levels;
    std::vector<std::wstring> subfolders;  // of every level held, each level's at its end
    bool removed = Enter(current, levels, subfolders, retry);
    while (!levels.empty()) {
        Level& level = levels.back();
        current.resize(level.length);
        if (subfolders.size() > level.firstSubfolder) {
            current += L'\\' + subfolders.back();
            subfolders.pop_back();
            LogFormat(L"Deletion subfolder Folder of '%s'\n", current);
            size_t depth = levels.size();
            if (!Enter(current, levels, subfolders, retry)) levels[depth - 1].emptied = false;
            continue;
        }
        bool emptied = level.emptied;
        levels.pop_back();  // lets go of the folder, so that it can be removed
        removed = RemoveFolder(levels.empty() ? path : current, emptied, retry);
        if (!levels.empty()) levels.back().emptied &= removed;
    }
    return removed;
}

}  // namespace gr
