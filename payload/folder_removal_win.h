// Removing the working folder: the extracted files first, then the folder with whatever
// else it holds. Files still in use for a moment (virus scanners and indexers open freshly
// written files) are tried again until a deadline.
#pragma once

#include <windows.h>

#include <string>

#include "payload/catalogue.h"

namespace gr {

// How a deletion that failed for a passing reason is tried again: until `deadline` (a
// GetTickCount64 value), with `pause` between two attempts (real sleeping in the program,
// a counter in a test).
struct DeleteRetry {
    ULONGLONG deadline = 0;
    void (*pause)(DWORD milliseconds) = SleepBetweenAttempts;

    static void SleepBetweenAttempts(DWORD milliseconds) { ::Sleep(milliseconds); }
};

// The pause between two attempts at one deletion.
constexpr DWORD kDeleteRetryPauseMilliseconds = 50;

// Deletes the folder's contents, depth first at any depth, and the folder. Links in it (and
// a link at `path` itself) are removed themselves, never followed; each folder is held open
// while it is emptied, so nobody can swap it for a link meanwhile. Returns true when the
// folder is gone.
bool DeleteFolderTree(const std::wstring& path, const DeleteRetry& retry);
inline bool DeleteFolderTree(const std::wstring& path, ULONGLONG deadline) {
    return DeleteFolderTree(path, DeleteRetry{deadline});
}

// Deletes the catalogue's files from the working folder `folder`, then the folder itself.
void RemoveWorkingFolder(const std::wstring& folder, const ResourceCatalogue& catalogue, const DeleteRetry& retry);

}  // namespace gr
