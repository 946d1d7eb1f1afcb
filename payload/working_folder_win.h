// The working folder of a run: the free-space check, the probe of its root, its naming and
// creation, and its removal with everything in it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/handles_win.h"
#include "payload/catalogue.h"
#include "payload/working_folder.h"

namespace gr {

// Security that lets only Administrators, SYSTEM and the current user change the working
// folder or anything created in it; empty when it cannot be built.
LocalMemory OwnersOnlySecurity();

// Whether the drive of the user's temporary path has more free megabytes than string-table
// entry 103 of `module` asks for. Fills `space` either way.
bool CheckDiskSpace(HINSTANCE module, FreeSpace& space);

class WorkingFolder {
public:
    // Proves that files can be created in `root` (made if missing, one level), with a
    // probe file that deletes itself. Remembers `root` as the one the folder goes under.
    uint32_t ProbeRoot(const std::wstring& root);

    // The working folder's path, named (by a fresh GUID, or the zero GUID when `zeroGuid`)
    // and created on the first call, then fixed. Empty when the path would not fit the
    // path limit.
    const std::wstring& Get(bool zeroGuid);

    // Deletes the extracted files, then the folder with whatever else it holds. Links left
    // in it are removed themselves, never followed.
    void Remove(const ResourceCatalogue& catalogue);

private:
    std::wstring probedRoot_;
    std::wstring path_;
    bool named_ = false;
};

// Deletes the folder's contents, depth first, and the folder. Files still in use are
// retried until `deadline` (a GetTickCount64 value). Returns true when the folder is gone.
bool DeleteFolderTree(const std::wstring& path, ULONGLONG deadline);

}  // namespace gr
