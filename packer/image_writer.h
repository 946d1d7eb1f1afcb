// Writes a program file front to back and keeps its checksum (the one in the optional
// header) as the bytes go by, so that even a large payload is read only once.
#pragma once

#include <cstdint>
#include <string>

#include "packer/file_io.h"
#include "packer/resource_tree.h"

namespace gr::pack {

class ImageWriter {
public:
    explicit ImageWriter(File& file) : file_(file) {}
    bool Write(const uint8_t* data, size_t length);
    bool Write(const Bytes& data) { return Write(data.data(), data.size()); }
    // Zero bytes up to `offset` (no further than it already is).
    bool PadTo(uint64_t offset);
    // `length` bytes of `source` from `offset`, in pieces; false when the source has fewer.
    bool Copy(File& source, uint64_t offset, uint64_t length);
    bool Copy(const ResourceData& data);
    uint64_t position() const { return position_; }
    // The file's checksum: its 16-bit words summed with end-around carry, plus its length.
    // The checksum field itself must have been written as zero.
    uint32_t Checksum() const;

private:
    void Sum(const uint8_t* data, size_t length);

    File& file_;
    uint64_t position_ = 0;
    uint64_t sum_ = 0;
};

}  // namespace gr::pack
