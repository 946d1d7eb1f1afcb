#include "packer/resource_section.h"

#include "packer/utf.h"

namespace gr::pack {
namespace {

constexpr uint32_t kSubdirectory = 0x80000000;
constexpr uint64_t kDataAlignment = 8;

// The resources grouped as the directory's three levels: [type][name] -> resources.
struct NameGroup {
    ResourceKey name;
    std::vector<const Resource*> languages;
};
struct TypeGroup {
    ResourceKey type;
    std::vector<NameGroup> names;
};

std::vector<TypeGroup> Group(const ResourceList& resources) {
    std::vector<TypeGroup> types;
    for (const Resource& resource : resources.items()) {  // already in directory order
        if (types.empty() || !(types.back().type == resource.type)) types.push_back({resource.type, {}});
        auto& names = types.back().names;
        if (names.empty() || !(names.back().name == resource.name)) names.push_back({resource.name, {}});
        names.back().languages.push_back(&resource);
    }
    return types;
}

// Writes a directory table header and returns where its entries start.
size_t PutTable(Bytes& head, size_t offset, size_t named, size_t ids) {
    Put16(&head[offset + 12], static_cast<uint32_t>(named));
    Put16(&head[offset + 14], static_cast<uint32_t>(ids));
    return offset + 16;
}

template <typename Items, typename KeyOf>
size_t PutTableOf(Bytes& head, size_t offset, const Items& items, KeyOf key) {
    size_t named = 0;
    for (const auto& item : items) named += key(item).IsName() ? 1 : 0;
    return PutTable(head, offset, named, items.size() - named);
}

}  // namespace

ResourceSection::ResourceSection(const ResourceList& resources, uint32_t address) {
    std::vector<TypeGroup> types = Group(resources);
    // Offsets of every table, then of the names, the data entries and the data.
    uint64_t offset = 16 + 8 * types.size();
    std::vector<uint64_t> typeTables, nameTables;
    for (const TypeGroup& type : types) {
        typeTables.push_back(offset);
        offset += 16 + 8 * type.names.size();
    }
    for (const TypeGroup& type : types)
        for (const NameGroup& name : type.names) {
            nameTables.push_back(offset);
            offset += 16 + 8 * name.languages.size();
        }
    Bytes strings;
    auto stringField = [&](const ResourceKey& key) -> uint32_t {
        if (!key.IsName()) return key.id;
        uint32_t at = static_cast<uint32_t>(offset + strings.size());
        Append16(strings, static_cast<uint32_t>(Utf16Length(key.name)));
        AppendUtf16(strings, key.name);
        return kSubdirectory | at;
    };
    head_.resize(static_cast<size_t>(offset));
    // Root level.
    size_t entry = PutTableOf(head_, 0, types, [](const TypeGroup& g) -> const ResourceKey& { return g.type; });
    for (size_t t = 0; t < types.size(); ++t, entry += 8) {
        Put32(&head_[entry], stringField(types[t].type));
        Put32(&head_[entry + 4], kSubdirectory | static_cast<uint32_t>(typeTables[t]));
    }
    // Name level, then language level; the language entries point at data entries whose
    // offsets are known once the names are placed, so they are filled in below.
    std::vector<size_t> languageEntries;
    size_t nameIndex = 0;
    for (size_t t = 0; t < types.size(); ++t) {
        entry = PutTableOf(head_, static_cast<size_t>(typeTables[t]), types[t].names,
                           [](const NameGroup& g) -> const ResourceKey& { return g.name; });
        for (const NameGroup& name : types[t].names) {
            Put32(&head_[entry], stringField(name.name));
            Put32(&head_[entry + 4], kSubdirectory | static_cast<uint32_t>(nameTables[nameIndex]));
            size_t languageEntry = PutTable(head_, static_cast<size_t>(nameTables[nameIndex]), 0, name.languages.size());
            for (const Resource* resource : name.languages) {
                Put32(&head_[languageEntry], resource->language);
                languageEntries.push_back(languageEntry);
                languageEntry += 8;
            }
            entry += 8;
            ++nameIndex;
        }
    }
    head_.insert(head_.end(), strings.begin(), strings.end());
    head_.resize(static_cast<size_t>(AlignUp(head_.size(), 4)));
    uint64_t dataEntries = head_.size();
    head_.resize(static_cast<size_t>(dataEntries + 16 * resources.items().size()));
    offset = head_.size();
    size_t index = 0;
    for (const Resource& resource : resources.items()) {
        offset = AlignUp(offset, kDataAlignment);
        uint8_t* dataEntry = &head_[static_cast<size_t>(dataEntries + 16 * index)];
        Put32(&head_[languageEntries[index]] + 4, static_cast<uint32_t>(dataEntries + 16 * index));
        Put32(dataEntry, static_cast<uint32_t>(address + offset));
        Put32(dataEntry + 4, static_cast<uint32_t>(resource.data.Size()));
        Put32(dataEntry + 8, resource.codePage);
        pieces_.push_back({offset, &resource.data});
        offset += resource.data.Size();
        ++index;
    }
    size_ = offset;
}

bool ResourceSection::Write(ImageWriter& writer) const {
    uint64_t start = writer.position();
    if (!writer.Write(head_)) return false;
    for (const Piece& piece : pieces_)
        if (!writer.PadTo(start + piece.offset) || !writer.Copy(*piece.data)) return false;
    return true;
}

}  // namespace gr::pack
