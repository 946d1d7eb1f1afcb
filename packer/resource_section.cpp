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

// Writes the three levels of tables, then the names, into `head`; returns where each
// resource's language entry lies, in the list's order, for its data entry to be filled in.
std::vector<size_t> WriteDirectory(const std::vector<TypeGroup>& types, Bytes& head) {
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
    head.resize(static_cast<size_t>(offset));
    Bytes strings;  // placed right after the tables
    auto keyField = [&](const ResourceKey& key) -> uint32_t {
        if (!key.IsName()) return key.id;
        uint32_t at = static_cast<uint32_t>(offset + strings.size());
        Append16(strings, static_cast<uint32_t>(Utf16Length(key.name)));
        AppendUtf16(strings, key.name);
        return kSubdirectory | at;
    };
    size_t entry = PutTableOf(head, 0, types, [](const TypeGroup& g) -> const ResourceKey& { return g.type; });
    for (size_t t = 0; t < types.size(); ++t, entry += 8) {
        Put32(&head[entry], keyField(types[t].type));
        Put32(&head[entry + 4], kSubdirectory | static_cast<uint32_t>(typeTables[t]));
    }
    std::vector<size_t> languageEntries;
    size_t nameIndex = 0;
    for (size_t t = 0; t < types.size(); ++t) {
        entry = PutTableOf(head, static_cast<size_t>(typeTables[t]), types[t].names,
                           [](const NameGroup& g) -> const ResourceKey& { return g.name; });
        for (const NameGroup& name : types[t].names) {
            Put32(&head[entry], keyField(name.name));
            Put32(&head[entry + 4], kSubdirectory | static_cast<uint32_t>(nameTables[nameIndex]));
            size_t language = PutTable(head, static_cast<size_t>(nameTables[nameIndex++]), 0, name.languages.size());
            for (const Resource* resource : name.languages) {
                Put32(&head[language], resource->language);
                languageEntries.push_back(language);
                language += 8;
            }
            entry += 8;
        }
    }
    head.insert(head.end(), strings.begin(), strings.end());
    return languageEntries;
}

}  // namespace

ResourceSection::ResourceSection(const ResourceList& resources, uint32_t address) {
    std::vector<size_t> languageEntries = WriteDirectory(Group(resources), head_);
    // The data entries follow the names; the data follows them, each piece aligned.
    head_.resize(static_cast<size_t>(AlignUp(head_.size(), 4)));
    const size_t dataEntries = head_.size();
    head_.resize(dataEntries + 16 * resources.items().size());
    uint64_t offset = head_.size();
    size_t index = 0;
    for (const Resource& resource : resources.items()) {
        offset = AlignUp(offset, kDataAlignment);
        const size_t dataEntry = dataEntries + 16 * index;
        Put32(&head_[languageEntries[index] + 4], static_cast<uint32_t>(dataEntry));
        Put32(&head_[dataEntry], static_cast<uint32_t>(address + offset));
        Put32(&head_[dataEntry + 4], static_cast<uint32_t>(resource.data.Size()));
        Put32(&head_[dataEntry + 8], resource.codePage);
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
