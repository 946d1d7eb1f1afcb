// A program's resources as one ordered list: type, name and language of each, and where
// its bytes come from (held in memory, or a range of a file read when they are written).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "packer/bytes.h"
#include "packer/file_io.h"
#include "packer/pe_image.h"

namespace gr::pack {

constexpr uint32_t kTypeIcon = 3;
constexpr uint32_t kTypeBitmap = 2;
constexpr uint32_t kTypeString = 6;
constexpr uint32_t kTypeGroupIcon = 14;
constexpr uint32_t kTypeVersion = 16;
constexpr uint64_t kLargestLoaded = 16 * 1024 * 1024;

// A resource type or name: an integer id, or a string (stored in capitals, as resource
// compilers write it and the loader looks it up).
struct ResourceKey {
    uint32_t id = 0;
    std::wstring name;  // empty for an id

    static ResourceKey Id(uint32_t id) { return {id, {}}; }
    static ResourceKey Name(std::wstring_view name);
    bool IsName() const { return !name.empty(); }
    bool operator==(const ResourceKey& other) const { return id == other.id && name == other.name; }
    std::string Text() const;  // the name, or the id in decimal
};

// Resource directories list string keys first, in order of their UTF-16 code units, then ids
// in ascending order.
bool KeyBefore(const ResourceKey& a, const ResourceKey& b);

struct ResourceData {
    Bytes bytes;                 // the bytes, when `file` is empty
    std::filesystem::path file;  // or `size` bytes of this file from `offset`
    uint64_t offset = 0;
    uint64_t size = 0;

    static ResourceData Held(Bytes bytes);
    static ResourceData InFile(std::filesystem::path file, uint64_t offset, uint64_t size);
    uint64_t Size() const { return file.empty() ? bytes.size() : size; }
    // The bytes, read from the file when they are there; false when they cannot be read
    // or are more than kLargestLoaded (a payload is streamed, never loaded).
    bool Load(Bytes& out) const;
};

struct Resource {
    ResourceKey type;
    ResourceKey name;
    uint16_t language = 0;
    uint32_t codePage = 0;
    ResourceData data;
};

class ResourceList {
public:
    // Adds `resource`, replacing one with the same type, name and language.
    void Put(Resource resource);
    // Removes every resource of `type` (and `name`, when given).
    void Remove(const ResourceKey& type);
    void Remove(const ResourceKey& type, const ResourceKey& name);
    // The first resource of `type` and `name` (any language), or null.
    const Resource* Find(const ResourceKey& type, const ResourceKey& name) const;
    const std::vector<Resource>& items() const { return items_; }

private:
    std::vector<Resource> items_;  // in directory order: type, name, language
};

// Reads the resource directory of `image` (whose file is `file`, at `path`). The data of
// each resource stays in the file: it is named by its range. False with `error` when the
// directory does not hold together.
bool ReadResources(File& file, const std::filesystem::path& path, const PeImage& image, ResourceList& resources,
                   std::string& error);

}  // namespace gr::pack
