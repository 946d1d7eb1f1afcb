#include "payload/payload_coding.h"

namespace gr {
namespace {

uint32_t Get32(const uint8_t* data) {
    return data[0] | (static_cast<uint32_t>(data[1]) << 8) | (static_cast<uint32_t>(data[2]) << 16) |
           (static_cast<uint32_t>(data[3]) << 24);
}

// Built on first use rather than stored: the program's file stays 1 KB smaller.
struct CrcTable {
    uint32_t entries[256];
    CrcTable() {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t value = i;
            for (int bit = 0; bit < 8; ++bit) value = (value >> 1) ^ (0xEDB88320u & (0u - (value & 1)));
            entries[i] = value;
        }
    }
};

}  // namespace

bool AssignCodings(ResourceCatalogue& catalogue, const uint8_t* table, size_t size) {
    if (size % kCodingRecordBytes != 0) return false;
    for (size_t at = 0; at < size; at += kCodingRecordBytes) {
        uint32_t coding = Get32(table + at + 4);
        if (coding != kCodingStored && coding != kCodingLzma) return false;
        for (CResource& entry : catalogue) {
            if (entry.id != Get32(table + at)) continue;
            entry.coding = coding;
            entry.checksum = Get32(table + at + 8);
        }
    }
    return true;
}

bool ReadLzmaHeader(const uint8_t* data, size_t size, LzmaHeader& header) {
    if (size < kLzmaHeaderBytes) return false;
    header.dictionary = Get32(data + 1);
    header.extractedSize = Get32(data + 5) | (static_cast<uint64_t>(Get32(data + 9)) << 32);
    return true;
}

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size) {
    static const CrcTable table;
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table.entries[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

}  // namespace gr
