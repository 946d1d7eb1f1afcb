#include "packer/resource_tree.h"

#include <algorithm>

#include "packer/utf.h"

namespace gr::pack {
namespace {

constexpr uint32_t kSubdirectory = 0x80000000;
constexpr uint32_t kMostEntries = 65536;  // more in one directory means a broken file

// Reads resource directories through the image's sections, every read checked.
class DirectoryReader {
public:
    DirectoryReader(File& file, const std::filesystem::path& path, const PeImage& image)
        : file_(file), path_(path), image_(image), base_(image.directories[kResourceDirectory].address) {}

    bool Read(ResourceList& resources) { return ReadLevel(0, 0, {}, {}, resources); }

private:
    bool ReadAt(uint32_t offset, uint32_t length, uint8_t* out) {
        uint64_t at = 0;
        return offset < kSubdirectory && image_.FileOffset(base_ + offset, length, at) && file_.ReadAt(at, out, length);
    }

    bool ReadKey(uint32_t field, ResourceKey& key) {
        if ((field & kSubdirectory) == 0) {
            key = ResourceKey::Id(field);
            return field <= 0xFFFF;
        }
        uint8_t length[2];
        if (!ReadAt(field & ~kSubdirectory, 2, length) || Get16(length) == 0) return false;
        Bytes text(2u * Get16(length));
        if (!ReadAt((field & ~kSubdirectory) + 2, static_cast<uint32_t>(text.size()), text.data())) return false;
        key.id = 0;
        key.name = ReadUtf16(text.data(), Get16(length));
        return true;
    }

    bool ReadLevel(int level, uint32_t offset, const ResourceKey& type, const ResourceKey& name,
                   ResourceList& resources) {
        uint8_t header[16];
        if (!ReadAt(offset, sizeof header, header)) return false;
        uint32_t count = static_cast<uint32_t>(Get16(header + 12)) + Get16(header + 14);
        if (count > kMostEntries) return false;
        Bytes entries(8u * count);
        if (count != 0 && !ReadAt(offset + 16, static_cast<uint32_t>(entries.size()), entries.data())) return false;
        for (uint32_t i = 0; i < count; ++i) {
            ResourceKey key;
            if (!ReadKey(Get32(&entries[8 * i]), key)) return false;
            uint32_t target = Get32(&entries[8 * i + 4]);
            bool subdirectory = (target & kSubdirectory) != 0;
            if (subdirectory != (level < 2)) return false;
            target &= ~kSubdirectory;
            bool read = level == 0   ? ReadLevel(1, target, key, {}, resources)
                        : level == 1 ? ReadLevel(2, target, type, key, resources)
                                     : ReadData(target, type, name, key, resources);
            if (!read) return false;
        }
        return true;
    }

    bool ReadData(uint32_t offset, const ResourceKey& type, const ResourceKey& name, const ResourceKey& language,
                  ResourceList& resources) {
        uint8_t entry[16];
        uint64_t at = 0;
        if (language.IsName() || !ReadAt(offset, sizeof entry, entry) ||
            !image_.FileOffset(Get32(entry), Get32(entry + 4), at))
            return false;
        Resource resource{type, name, static_cast<uint16_t>(language.id), Get32(entry + 8),
                          ResourceData::InFile(path_, at, Get32(entry + 4))};
        resources.Put(std::move(resource));
        return true;
    }

    File& file_;
    const std::filesystem::path& path_;
    const PeImage& image_;
    uint32_t base_;
};

bool SameResource(const Resource& a, const Resource& b) {
    return a.type == b.type && a.name == b.name && a.language == b.language;
}

bool ResourceBefore(const Resource& a, const Resource& b) {
    if (!(a.type == b.type)) return KeyBefore(a.type, b.type);
    if (!(a.name == b.name)) return KeyBefore(a.name, b.name);
    return a.language < b.language;
}

}  // namespace

ResourceKey ResourceKey::Name(std::wstring_view name) {
    ResourceKey key;
    for (wchar_t c : name) key.name.push_back(c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c);
    return key;
}

std::string ResourceKey::Text() const { return IsName() ? EncodeUtf8(name) : std::to_string(id); }

bool KeyBefore(const ResourceKey& a, const ResourceKey& b) {
    if (a.IsName() != b.IsName()) return a.IsName();
    if (!a.IsName()) return a.id < b.id;
    return a.name < b.name;
}

ResourceData ResourceData::Held(Bytes bytes) {
    ResourceData data;
    data.bytes = std::move(bytes);
    return data;
}

ResourceData ResourceData::InFile(std::filesystem::path file, uint64_t offset, uint64_t size) {
    ResourceData data;
    data.file = std::move(file);
    data.offset = offset;
    data.size = size;
    return data;
}

bool ResourceData::Load(Bytes& out) const {
    if (Size() > kLargestLoaded) return false;
    if (file.empty()) {
        out = bytes;
        return true;
    }
    out.resize(static_cast<size_t>(size));
    File opened = File::OpenRead(file);
    return size == 0 || opened.ReadAt(offset, out.data(), out.size());
}

void ResourceList::Put(Resource resource) {
    auto at = std::lower_bound(items_.begin(), items_.end(), resource, ResourceBefore);
    if (at != items_.end() && SameResource(*at, resource))
        *at = std::move(resource);
    else
        items_.insert(at, std::move(resource));
}

void ResourceList::Remove(const ResourceKey& type) {
    std::erase_if(items_, [&](const Resource& r) { return r.type == type; });
}

void ResourceList::Remove(const ResourceKey& type, const ResourceKey& name) {
    std::erase_if(items_, [&](const Resource& r) { return r.type == type && r.name == name; });
}

const Resource* ResourceList::Find(const ResourceKey& type, const ResourceKey& name) const {
    for (const Resource& resource : items_)
        if (resource.type == type && resource.name == name) return &resource;
    return nullptr;
}

bool ReadResources(File& file, const std::filesystem::path& path, const PeImage& image, ResourceList& resources,
                   std::string& error) {
    if (image.directories[kResourceDirectory].address == 0) return true;
    DirectoryReader reader(file, path, image);
    if (reader.Read(resources)) return true;
    error = "has a resource directory that does not hold together";
    return false;
}

}  // namespace gr::pack
