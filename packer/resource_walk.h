// Walks a program's resource tree (type, name and language levels) as it may come from
// anywhere: every table, name and data entry must lie within the resource section, no
// table may be reached twice (a tree whose entries all lead to one child would fan out
// without end), and the entries, and the text of the names the resources carry, are
// bounded, so the walk ends soon and its memory stays small whatever the file holds.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "packer/file_io.h"
#include "packer/pe_image.h"
#include "packer/resource_tree.h"

namespace gr::pack {

constexpr uint32_t kMostResourceEntries = 65536;         // in all the tree's tables
constexpr uint64_t kMostResourceNameUnits = 1024 * 1024;  // of the names, as each resource carries them

// The resources of `image` (whose file is `file`, at `path`) in the order of the tree; false
// with `why` when the tree does not hold together.
bool WalkResourceTree(File& file, const std::filesystem::path& path, const PeImage& image,
                      std::vector<Resource>& found, std::string& why);

}  // namespace gr::pack
