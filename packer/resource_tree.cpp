#include "packer/resource_tree.h"

#include <algorithm>

#include "packer/resource_walk.h"
#include "packer/utf.h"

namespace gr::pack {
namespace {

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
    const Resource probe{type, name, 0, 0, {}};  // the lowest language comes first
    auto at = std::lower_bound(items_.begin(), items_.end(), probe, ResourceBefore);
    return at != items_.end() && at->type == type && at->name == name ? &*at : nullptr;
}

bool ReadResources(File& file, const std::filesystem::path& path, const PeImage& image, ResourceList& resources,
                   std::string& error) {
    if (image.directories[kResourceDirectory].address == 0) return true;
    std::vector<Resource> found;
    std::string why;
    if (!WalkResourceTree(file, path, image, found, why)) {
        error = "the resource tree does not hold together: " + why;
        return false;
    }
    // In the list's order first, so that each goes in at its end (a later one of the same
    // type, name and language replaces an earlier one, as the tree's order has it).
    std::stable_sort(found.begin(), found.end(), ResourceBefore);
    for (Resource& resource : found) resources.Put(std::move(resource));
    return true;
}

}  // namespace gr::pack
