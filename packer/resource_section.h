// The resource section the tool writes: the directory (type, name and language levels),
// the names, the data entries, then every resource's bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "packer/image_writer.h"
#include "packer/resource_tree.h"

namespace gr::pack {

class ResourceSection {
public:
    // Lays out `resources` for a section at `address` in memory. The list must outlive
    // the layout.
    ResourceSection(const ResourceList& resources, uint32_t address);
    // The section's size in bytes (from its start to the end of the last resource).
    uint64_t size() const { return size_; }
    // Writes the section; `writer` stands at the section's start.
    bool Write(ImageWriter& writer) const;

private:
    struct Piece {
        uint64_t offset;  // from the section's start
        const ResourceData* data;
    };
    Bytes head_;  // directory tables, names and data entries
    std::vector<Piece> pieces_;
    uint64_t size_ = 0;
};

}  // namespace gr::pack
