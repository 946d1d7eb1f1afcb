// The working folder of a run: the probe of its root, its naming and creation, and its
// removal with everything in it.
#pragma once

#include <cstdint>
#include <string>

#include "framework/handles_win.h"
#include "payload/catalogue.h"
#include "payload/working_folder.h"

namespace gr {

class WorkingFolder {
public:
    // Proves that files can be created in `root` (made if missing, one level), with a
    // probe file that deletes itself. Remembers `root` as the one the folder goes under; a
    // root made here is removed again when the probe fails. kFailed, or kRootNotFolder (with
    // a log line) when `root` is a file.
    uint32_t ProbeRoot(const std::wstring& root);

    // The working folder's path, named (by a fresh GUID, or the zero GUID when `zeroGuid`)
    // and created fresh on the first call, then fixed; the folder is held (HoldFolder)
    // until Remove. Empty when the path would not fit the path limit or no fresh folder can
    // be made there (see MakeFreshFolder).
    const std::wstring& Get(bool zeroGuid);

    // Deletes the extracted files, then the folder with whatever else it holds (links left
    // in it are removed themselves, never followed), then the root when this run made it
    // and it is empty.
    void Remove(const ResourceCatalogue& catalogue);

private:
    uint32_t ProbeFile(const std::wstring& root);
    void RemoveCreatedRoot();

    std::wstring probedRoot_;
    std::wstring path_;
    bool named_ = false;
    std::wstring createdRoot_;  // the probed root in full, when this run made it
    FileHandle held_;           // the working folder, held from its making to its removal
};

}  // namespace gr
