#include "packer/branding.h"

#include <algorithm>
#include <set>

namespace gr::pack {
namespace {

constexpr uint32_t kPlain = 0;
constexpr uint32_t kRunLength8 = 1;
constexpr size_t kFileHeaderBytes = 14;

bool IsPng(const uint8_t* data, size_t length) {
    static const uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return length >= sizeof kSignature && std::equal(kSignature, kSignature + sizeof kSignature, data);
}

// The ids of the icon images a group names.
std::vector<uint32_t> GroupImageIds(const Bytes& group) {
    std::vector<uint32_t> ids;
    if (group.size() < 6) return ids;
    size_t count = Get16(&group[4]);
    for (size_t i = 0; i < count && 6 + 14 * (i + 1) <= group.size(); ++i)
        ids.push_back(Get16(&group[6 + 14 * i + 12]));
    return ids;
}

}  // namespace

bool ReadIconFile(const Bytes& file, std::vector<IconImage>& images, std::string& error) {
    error = "is not a valid .ico file";
    if (file.size() < 6 || Get16(&file[0]) != 0 || Get16(&file[2]) != 1 || Get16(&file[4]) == 0) return false;
    size_t count = Get16(&file[4]);
    if (6 + 16 * count > file.size()) return false;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = &file[6 + 16 * i];
        uint32_t length = Get32(entry + 8), offset = Get32(entry + 12);
        if (!Within(offset, length, file.size()) || length < 40) return false;
        const uint8_t* data = &file[offset];
        if (!IsPng(data, length) && (Get32(data) != 40 || Get16(data + 12) != 1)) return false;
        IconImage image;
        image.width = entry[0];
        image.height = entry[1];
        image.colours = entry[2];
        image.planes = Get16(entry + 4);
        image.bitCount = Get16(entry + 6);
        if (!IsPng(data, length) && image.bitCount == 0) image.bitCount = Get16(data + 14);
        image.data.assign(data, data + length);
        images.push_back(std::move(image));
    }
    return true;
}

bool DescribeBitmap(const uint8_t* header, size_t length, BitmapInfo& info) {
    if (header == nullptr || length < 40) return false;
    uint32_t headerBytes = Get32(header);
    if (headerBytes != 40 && headerBytes != 108 && headerBytes != 124) return false;
    info.width = static_cast<int32_t>(Get32(header + 4));
    info.height = static_cast<int32_t>(Get32(header + 8));
    info.bitCount = Get16(header + 14);
    info.compression = Get32(header + 16);
    return Get16(header + 12) == 1;
}

bool ReadBitmapFile(const Bytes& file, Bytes& resource, BitmapInfo& info, std::string& error) {
    error = "is not a valid .bmp file";
    if (file.size() < kFileHeaderBytes + 40 || file[0] != 'B' || file[1] != 'M') return false;
    const uint8_t* header = file.data() + kFileHeaderBytes;
    if (!DescribeBitmap(header, file.size() - kFileHeaderBytes, info)) return false;
    uint32_t headerBytes = Get32(header);
    uint32_t bitsAt = Get32(file.data() + 10);
    uint32_t imageBytes = Get32(header + 20);
    uint32_t coloursUsed = Get32(header + 32);
    bool supported = (info.bitCount == 24 && info.compression == kPlain) ||
                     (info.bitCount == 8 && (info.compression == kPlain || info.compression == kRunLength8));
    if (!supported) {
        error = "is not an 8-bit or 24-bit uncompressed (or 8-bit run-length) bitmap";
        return false;
    }
    uint64_t height = static_cast<uint64_t>(info.height < 0 ? -static_cast<int64_t>(info.height) : info.height);
    if (info.width <= 0 || height == 0 || info.width > 16384 || height > 16384 ||
        (info.compression == kRunLength8 && info.height < 0))
        return false;
    uint32_t palette = info.bitCount == 8 ? (coloursUsed == 0 ? 256 : coloursUsed) : coloursUsed;
    if (palette > 256) return false;
    uint64_t stride = AlignUp(static_cast<uint64_t>(info.width) * info.bitCount / 8, 4);
    uint64_t bits = info.compression == kPlain ? stride * height : imageBytes;
    uint64_t paletteAt = kFileHeaderBytes + headerBytes;
    if (bits == 0 || !Within(paletteAt, 4ull * palette, file.size()) || bitsAt < paletteAt + 4ull * palette ||
        !Within(bitsAt, bits, file.size()))
        return false;
    // The resource is the header, the palette and the bits, back to back, whatever gaps
    // the file left between them.
    resource.assign(file.begin() + kFileHeaderBytes, file.begin() + static_cast<ptrdiff_t>(paletteAt + 4 * palette));
    resource.insert(resource.end(), file.begin() + bitsAt, file.begin() + static_cast<ptrdiff_t>(bitsAt + bits));
    return true;
}

void PutIcon(ResourceList& resources, uint32_t group, const std::vector<IconImage>& images, uint16_t language) {
    ResourceKey groupType = ResourceKey::Id(kTypeGroupIcon), iconType = ResourceKey::Id(kTypeIcon);
    Bytes old;
    if (const Resource* existing = resources.Find(groupType, ResourceKey::Id(group))) existing->data.Load(old);
    for (uint32_t id : GroupImageIds(old)) resources.Remove(iconType, ResourceKey::Id(id));
    resources.Remove(groupType, ResourceKey::Id(group));
    std::set<uint32_t> taken;
    for (const Resource& resource : resources.items())
        if (resource.type == iconType && !resource.name.IsName()) taken.insert(resource.name.id);
    Bytes directory;
    Append16(directory, 0);
    Append16(directory, 1);
    Append16(directory, static_cast<uint32_t>(images.size()));
    uint32_t next = 1;
    for (const IconImage& image : images) {
        while (taken.count(next) != 0) ++next;
        directory.insert(directory.end(), {image.width, image.height, image.colours, 0});
        Append16(directory, image.planes);
        Append16(directory, image.bitCount);
        Append32(directory, static_cast<uint32_t>(image.data.size()));
        Append16(directory, next);
        resources.Put({iconType, ResourceKey::Id(next), language, 0, ResourceData::Held(image.data)});
        ++next;
    }
    resources.Put({groupType, ResourceKey::Id(group), language, 0, ResourceData::Held(std::move(directory))});
}

std::string DescribeIconGroup(const Bytes& group) {
    if (group.size() < 6) return "not an icon group";
    size_t count = Get16(&group[4]);
    std::string text = std::to_string(count) + (count == 1 ? " image" : " images");
    for (size_t i = 0; i < count && 6 + 14 * (i + 1) <= group.size(); ++i) {
        const uint8_t* entry = &group[6 + 14 * i];
        unsigned width = entry[0] == 0 ? 256 : entry[0], height = entry[1] == 0 ? 256 : entry[1];
        text += (i == 0 ? ": " : ", ") + std::to_string(width) + "x" + std::to_string(height) + " " +
                std::to_string(Get16(entry + 6)) + "-bit";
    }
    return text;
}

}  // namespace gr::pack
