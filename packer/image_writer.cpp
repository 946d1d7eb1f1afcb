#include "packer/image_writer.h"

#include <algorithm>

namespace gr::pack {

void ImageWriter::Sum(const uint8_t* data, size_t length) {
    size_t i = 0;
    if ((position_ & 1) != 0 && length > 0) sum_ += static_cast<uint64_t>(data[i++]) << 8;
    uint64_t sum = 0;
    // Four words at a time, in two 32-bit lanes, emptied before they can overflow: a lane
    // takes two words of at most 0xFFFF per step, 32768 steps at most.
    constexpr uint64_t kLanes = 0x0000FFFF0000FFFFull;
    constexpr size_t kBlock = 32768 * 8;
    while (i + 8 <= length) {
        size_t end = i + std::min(kBlock, (length - i) / 8 * 8);
        uint64_t lanes = 0;
        for (; i < end; i += 8) {
            uint64_t words =
                static_cast<uint64_t>(Get32(data + i)) | (static_cast<uint64_t>(Get32(data + i + 4)) << 32);
            lanes += (words & kLanes) + ((words >> 16) & kLanes);
        }
        sum += (lanes & 0xFFFFFFFF) + (lanes >> 32);
    }
    for (; i + 4 <= length; i += 4) {
        uint32_t pair = Get32(data + i);
        sum += (pair & 0xFFFF) + (pair >> 16);
    }
    for (; i + 2 <= length; i += 2) sum += Get16(data + i);
    if (i < length) sum += data[i];  // the low byte of a word the next piece ends
    sum_ += sum;
}

bool ImageWriter::Write(const uint8_t* data, size_t length) {
    Sum(data, length);
    position_ += length;
    return length == 0 || file_.Write(data, length);
}

bool ImageWriter::PadTo(uint64_t offset) {
    static const uint8_t kZeros[4096] = {};
    while (position_ < offset) {
        size_t piece = static_cast<size_t>(std::min<uint64_t>(offset - position_, sizeof kZeros));
        if (!Write(kZeros, piece)) return false;
    }
    return true;
}

bool ImageWriter::Copy(File& source, uint64_t offset, uint64_t length) {
    return length == 0 ||
           source.ReadPieces(offset, length, [this](const uint8_t* data, size_t size) { return Write(data, size); });
}

bool ImageWriter::Copy(const ResourceData& data) {
    if (data.file.empty()) return Write(data.bytes);
    File source = File::OpenRead(data.file);
    return source && Copy(source, data.offset, data.size);
}

uint32_t ImageWriter::Checksum() const {
    uint64_t sum = sum_;
    while ((sum >> 16) != 0) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + position_);
}

}  // namespace gr::pack
