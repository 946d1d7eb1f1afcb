// How a package declares its compressed payload files, for the tool that writes them and
// the program that reads them. Beside the manifest, a package whose
// payload is compressed carries the coding table, resource CODING 101: one record of
// 12 bytes (three little-endian 32-bit words) per compressed payload resource: its id, its
// coding, and the CRC-32 of its extracted bytes. A payload resource without a record is
// stored as it is; a package without the table stores them all. A compressed resource is
// a `.lzma` stream: 5 bytes of properties (lc/lp/pb, dictionary size), the extracted size
// as 8 bytes, and the LZMA data without an end mark.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gr {

constexpr wchar_t kCodingType[] = L"CODING";
constexpr uint32_t kCodingTableId = 101;
constexpr size_t kCodingRecordBytes = 12;

constexpr uint32_t kCodingStored = 0;
constexpr uint32_t kCodingLzma = 1;

constexpr size_t kLzmaPropertyBytes = 5;
constexpr size_t kLzmaHeaderBytes = 13;                       // properties and extracted size
constexpr uint32_t kLargestLzmaDictionary = 64 * 1024 * 1024;  // what the program agrees to hold

// The little-endian 32-bit word at `data`: every field of the table and of the header.
inline uint32_t CodingWord(const uint8_t* data) {
    return data[0] | (static_cast<uint32_t>(data[1]) << 8) | (static_cast<uint32_t>(data[2]) << 16) |
           (static_cast<uint32_t>(data[3]) << 24);
}

// The header of a `.lzma` stream.
struct LzmaHeader {
    uint32_t dictionary = 0;
    uint64_t extractedSize = 0;
};
// False when the stream is shorter than its header.
bool ReadLzmaHeader(const uint8_t* data, size_t size, LzmaHeader& header);

// CRC-32 as zlib computes it: Crc32(0, ...) for the first piece, then the last result.
uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size);

}  // namespace gr
