#include "packer/pe_image.h"

namespace gr::pack {
namespace {

constexpr uint16_t kMachineI386 = 0x14C;
constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint32_t kOptionalHeaderBytes = 96;  // up to the data directories
constexpr uint32_t kSectionHeaderBytes = 40;
constexpr uint32_t kLargestHeaders = 1024 * 1024;  // a program's are a few hundred bytes

bool ReadSections(PeImage& image, uint16_t count, std::string& error) {
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* header = image.headers.data() + image.sectionTable + kSectionHeaderBytes * i;
        Section section;
        for (size_t k = 0; k < 8 && header[k] != 0; ++k) section.name.push_back(static_cast<char>(header[k]));
        section.virtualSize = Get32(header + 8);
        section.virtualAddress = Get32(header + 12);
        section.rawSize = Get32(header + 16);
        section.rawPointer = Get32(header + 20);
        section.characteristics = Get32(header + 36);
        if (section.rawSize != 0 && !Within(section.rawPointer, section.rawSize, image.fileSize)) {
            error = "has a section (" + section.name + ") beyond the end of the file";
            return false;
        }
        if (!image.sections.empty() && section.virtualAddress < image.sections.back().virtualAddress) {
            error = "has its sections out of order";
            return false;
        }
        image.sections.push_back(section);
    }
    return true;
}

}  // namespace

const Section* PeImage::SectionAt(uint32_t address) const {
    for (const Section& section : sections) {
        uint32_t span = section.virtualSize > section.rawSize ? section.virtualSize : section.rawSize;
        if (address >= section.virtualAddress && address - section.virtualAddress < span) return &section;
    }
    return nullptr;
}

bool PeImage::FileOffset(uint32_t address, uint32_t length, uint64_t& offset) const {
    const Section* section = SectionAt(address);
    if (section == nullptr) return false;
    uint32_t within = address - section->virtualAddress;
    if (!Within(within, length, section->rawSize)) return false;
    offset = static_cast<uint64_t>(section->rawPointer) + within;
    return true;
}

bool ReadPeImage(File& file, PeImage& image, std::string& error) {
    error = "is not a 32-bit Windows program";
    int64_t size = file.Size();
    uint8_t dos[64];
    if (size < 0 || !file.ReadAt(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return false;
    image.fileSize = static_cast<uint64_t>(size);
    image.ntOffset = Get32(dos + 60);
    uint8_t nt[24 + kOptionalHeaderBytes];
    if (!Within(image.ntOffset, sizeof nt, image.fileSize) || !file.ReadAt(image.ntOffset, nt, sizeof nt)) return false;
    if (Get32(nt) != 0x00004550 || Get16(nt + 4) != kMachineI386 || Get16(nt + 24) != kMagicPe32) return false;
    uint16_t sectionCount = Get16(nt + 6);
    uint16_t optionalSize = Get16(nt + 20);
    const uint8_t* optional = nt + 24;
    image.optionalOffset = image.ntOffset + 24;
    image.sectionTable = image.optionalOffset + optionalSize;
    image.sectionAlignment = Get32(optional + 32);
    image.fileAlignment = Get32(optional + 36);
    uint32_t headerBytes = Get32(optional + 60);
    uint32_t directoryCount = Get32(optional + 92);
    image.directoryCount = directoryCount;
    if (directoryCount > 16 || optionalSize < kOptionalHeaderBytes + 8 * directoryCount || sectionCount == 0 ||
        image.sectionTable + uint64_t{kSectionHeaderBytes} * sectionCount > headerBytes ||
        headerBytes > kLargestHeaders || !Within(0, headerBytes, image.fileSize) || image.fileAlignment == 0 ||
        (image.fileAlignment & (image.fileAlignment - 1)) != 0 || image.sectionAlignment < image.fileAlignment ||
        (image.sectionAlignment & (image.sectionAlignment - 1)) != 0) {
        error = "has headers that do not hold together";
        return false;
    }
    image.headers.resize(headerBytes);
    if (!file.ReadAt(0, image.headers.data(), headerBytes)) return false;
    for (uint32_t i = 0; i < directoryCount; ++i) {
        const uint8_t* entry = image.headers.data() + image.DirectoryOffset(i);
        image.directories.push_back({Get32(entry), Get32(entry + 4)});
    }
    image.directories.resize(16);
    return ReadSections(image, sectionCount, error);
}

}  // namespace gr::pack
