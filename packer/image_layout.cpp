#include "packer/image_layout.h"

#include <algorithm>

#include "packer/image_writer.h"
#include "packer/resource_section.h"

namespace gr::pack {
namespace {

constexpr uint32_t kPage = 4096;
constexpr uint32_t kInitialisedData = 0x40;
constexpr uint32_t kSectionHeaderBytes = 40;

uint32_t MemorySpan(const Section& section) { return section.virtualSize != 0 ? section.virtualSize : section.rawSize; }

}  // namespace

bool PlaceSections(const PeImage& image, std::vector<PlacedSection>& placed, Section& resources, std::string& error) {
    const Section* old = image.SectionAt(image.directories[kResourceDirectory].address);
    if (old == nullptr) {
        error = "cannot be packed: the program has no resource section";
        return false;
    }
    uint32_t nextAddress = old->virtualAddress, nextRaw = old->rawPointer;
    uint32_t rawEnd = 0;
    for (const Section& section : image.sections) {
        if (&section == old) continue;
        PlacedSection entry{section, section};
        if (section.virtualAddress > old->virtualAddress) {
            // Only the relocations may follow the resources: nothing but their directory
            // entry points into them, so they can move.
            const DataDirectory& relocations = image.directories[kRelocationDirectory];
            if (image.SectionAt(relocations.address) != &section) {
                error = "cannot be packed: a section of the program that cannot move (" + section.name +
                        ") follows its resources";
                return false;
            }
            entry.to.virtualAddress = nextAddress;
            entry.to.rawPointer = section.rawSize != 0 ? nextRaw : 0;
            nextAddress += static_cast<uint32_t>(AlignUp(MemorySpan(section), image.sectionAlignment));
            nextRaw += section.rawSize;
        } else if (section.rawSize != 0 && section.rawPointer + section.rawSize > old->rawPointer) {
            error = "cannot be packed: the program's sections overlap its resources in the file";
            return false;
        }
        if (entry.to.rawSize != 0) rawEnd = std::max(rawEnd, entry.to.rawPointer + entry.to.rawSize);
        placed.push_back(entry);
    }
    resources = *old;
    resources.name = ".rsrc";
    resources.virtualAddress = nextAddress;
    resources.rawPointer = std::max(rawEnd, static_cast<uint32_t>(image.headers.size()));
    return true;
}

namespace {

void PutSectionHeader(uint8_t* header, const Section& section) {
    std::fill(header, header + kSectionHeaderBytes, uint8_t{0});
    std::copy(section.name.begin(), section.name.begin() + std::min<size_t>(section.name.size(), 8), header);
    Put32(header + 8, section.virtualSize);
    Put32(header + 12, section.virtualAddress);
    Put32(header + 16, section.rawSize);
    Put32(header + 20, section.rawPointer);
    Put32(header + 36, section.characteristics);
}

// The program's headers for the new layout, with the checksum left zero.
Bytes NewHeaders(const PeImage& image, const std::vector<PlacedSection>& placed, const Section& resources) {
    Bytes headers = image.headers;
    uint32_t initialised = 0;
    uint32_t at = image.sectionTable;
    for (const PlacedSection& entry : placed) {
        PutSectionHeader(&headers[at], entry.to);
        at += kSectionHeaderBytes;
        if ((entry.to.characteristics & kInitialisedData) != 0) initialised += entry.to.rawSize;
        for (size_t d = 0; d < image.directoryCount; ++d) {
            const DataDirectory& directory = image.directories[d];
            if (d == kSecurityDirectory || directory.address == 0) continue;
            if (image.SectionAt(directory.address) == nullptr ||
                image.SectionAt(directory.address)->virtualAddress != entry.from.virtualAddress)
                continue;
            Put32(&headers[image.DirectoryOffset(d)],
                  directory.address - entry.from.virtualAddress + entry.to.virtualAddress);
        }
    }
    PutSectionHeader(&headers[at], resources);
    initialised += resources.rawSize;
    const uint32_t optional = image.optionalOffset;
    Put32(&headers[optional + 8], initialised);
    Put32(&headers[optional + 56],
          static_cast<uint32_t>(
              AlignUp(uint64_t{resources.virtualAddress} + resources.virtualSize, image.sectionAlignment)));
    Put32(&headers[image.ChecksumOffset()], 0);
    Put32(&headers[image.DirectoryOffset(kResourceDirectory)], resources.virtualAddress);
    Put32(&headers[image.DirectoryOffset(kResourceDirectory) + 4], resources.virtualSize);
    Put32(&headers[image.DirectoryOffset(kSecurityDirectory)], 0);
    Put32(&headers[image.DirectoryOffset(kSecurityDirectory) + 4], 0);
    return headers;
}

}  // namespace

bool WriteImage(const ProgramFile& program, const ResourceList& resources, bool pageAligned, File& out,
                std::string& error) {
    const PeImage& image = program.image;
    std::vector<PlacedSection> placed;
    Section section;
    if (!PlaceSections(image, placed, section, error)) return false;
    section.rawPointer = static_cast<uint32_t>(AlignUp(section.rawPointer, pageAligned ? kPage : image.fileAlignment));
    ResourceSection content(resources, section.virtualAddress);
    uint64_t rawSize = AlignUp(content.size(), image.fileAlignment);
    if (section.rawPointer + rawSize > 0xFFFFFFFFull - kPage) {
        error = "cannot be packed: the file would be too large";
        return false;
    }
    section.virtualSize = static_cast<uint32_t>(content.size());
    section.rawSize = static_cast<uint32_t>(rawSize);

    File source = File::OpenRead(program.path);
    ImageWriter writer(out);
    error = "cannot be written (the program cannot be read, or the disk is full)";
    if (!writer.Write(NewHeaders(image, placed, section))) return false;
    for (const PlacedSection& entry : placed) {
        if (entry.to.rawSize == 0) continue;
        if (!writer.PadTo(entry.to.rawPointer) || !source.Seek(entry.from.rawPointer) ||
            !writer.Copy(source, entry.from.rawPointer, entry.from.rawSize))
            return false;
    }
    error = "cannot be written (a payload file changed or cannot be read, or the disk is full)";
    if (!writer.PadTo(section.rawPointer) || !content.Write(writer) || !writer.PadTo(section.rawPointer + rawSize))
        return false;
    uint8_t checksum[4];
    Put32(checksum, writer.Checksum());
    return out.Seek(image.ChecksumOffset()) && out.Write(checksum, sizeof checksum);
}

}  // namespace gr::pack
