// The headers of a 32-bit Windows program file: where its sections lie in the file and
// in memory, and its data directories.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "packer/bytes.h"
#include "packer/file_io.h"

namespace gr::pack {

constexpr size_t kResourceDirectory = 2;
constexpr size_t kSecurityDirectory = 4;
constexpr size_t kRelocationDirectory = 5;

struct Section {
    std::string name;
    uint32_t virtualSize = 0;
    uint32_t virtualAddress = 0;
    uint32_t rawSize = 0;
    uint32_t rawPointer = 0;
    uint32_t characteristics = 0;
};

struct DataDirectory {
    uint32_t address = 0;  // an address in memory; for the certificate table, a file offset
    uint32_t size = 0;
};

struct PeImage {
    Bytes headers;  // the file's first SizeOfHeaders bytes
    uint64_t fileSize = 0;
    uint32_t ntOffset = 0;        // "PE\0\0"
    uint32_t optionalOffset = 0;  // the optional header
    uint32_t sectionTable = 0;
    uint32_t fileAlignment = 0;
    uint32_t sectionAlignment = 0;
    uint32_t directoryCount = 0;  // as the file declares; `directories` always holds 16
    std::vector<Section> sections;
    std::vector<DataDirectory> directories;

    // The section holding `address`, or null.
    const Section* SectionAt(uint32_t address) const;
    // The file offset of `length` bytes at `address`; false when they are not all in one
    // section's file data.
    bool FileOffset(uint32_t address, uint32_t length, uint64_t& offset) const;
    uint32_t ChecksumOffset() const { return optionalOffset + 64; }
    uint32_t DirectoryOffset(size_t index) const { return optionalOffset + 96 + 8 * static_cast<uint32_t>(index); }
};

// Reads the headers of `file`; false with `error` when it is no 32-bit x86 Windows
// program or its headers do not hold together.
bool ReadPeImage(File& file, PeImage& image, std::string& error);

}  // namespace gr::pack
