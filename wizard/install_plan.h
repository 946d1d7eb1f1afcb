// What an install writes: the items list matched with the data file's blocks, and the
// folders the files need, all inside the install folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "wizard/data_file.h"
#include "wizard/items.h"

namespace wiz {

struct PlannedFile {
    std::wstring component;  // the item's name
    std::wstring target;     // path inside the install folder
    size_t offset = 0;       // of its bytes in the data file
    size_t size = 0;
};

struct InstallPlan {
    std::vector<std::wstring> folders;  // inside the install folder, each after its parent
    std::vector<PlannedFile> files;     // in the items list's order
    uint64_t bytes = 0;                 // of all the files
    std::wstring error;                 // why the package cannot be installed; empty when it can
};

// Matches every item with its block: the block must exist and hold the item's size. No
// file may take the name of the uninstall information, `uninstallFile`.
InstallPlan MakeInstallPlan(const std::vector<Item>& items, const std::vector<DataBlock>& blocks,
                            std::wstring_view uninstallFile);

}  // namespace wiz
