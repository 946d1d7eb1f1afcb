#include "package/coding.h"

namespace gr {
namespace {

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

bool ReadLzmaHeader(const uint8_t* data, size_t size, LzmaHeader& header) {
    if (size < kLzmaHeaderBytes) return false;
    header.dictionary = CodingWord(data + 1);
    header.extractedSize = CodingWord(data + 5) | (static_cast<uint64_t>(CodingWord(data + 9)) << 32);
    return true;
}

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size) {
    static const CrcTable table;
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table.entries[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

}  // namespace gr
