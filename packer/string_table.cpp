#include "packer/string_table.h"

#include "packer/utf.h"

namespace gr::pack {

bool DecodeStringBlock(const Bytes& data, StringBlock& block) {
    size_t at = 0;
    for (std::wstring& text : block) {
        if (at + 2 > data.size()) return false;
        size_t units = Get16(&data[at]);
        at += 2;
        if (at + 2 * units > data.size()) return false;
        text = ReadUtf16(&data[at], units);
        at += 2 * units;
    }
    return true;
}

Bytes EncodeStringBlock(const StringBlock& block) {
    Bytes data;
    for (const std::wstring& text : block) {
        Append16(data, static_cast<uint32_t>(Utf16Length(text)));
        AppendUtf16(data, text);
    }
    return data;
}

bool SetString(ResourceList& resources, uint32_t id, const std::wstring& text, uint16_t language) {
    ResourceKey type = ResourceKey::Id(kTypeString);
    ResourceKey name = ResourceKey::Id(id / 16 + 1);
    StringBlock block;
    for (const Resource& resource : resources.items()) {
        if (!(resource.type == type && resource.name == name && resource.language == language)) continue;
        Bytes data;
        if (!resource.data.Load(data) || !DecodeStringBlock(data, block)) return false;
    }
    block[id % 16] = text;
    bool empty = true;
    for (const std::wstring& entry : block) empty = empty && entry.empty();
    if (empty) {
        ResourceList kept;
        for (const Resource& resource : resources.items())
            if (!(resource.type == type && resource.name == name && resource.language == language)) kept.Put(resource);
        resources = std::move(kept);
        return true;
    }
    resources.Put({type, name, language, 0, ResourceData::Held(EncodeStringBlock(block))});
    return true;
}

std::optional<std::wstring> FindString(const ResourceList& resources, uint32_t id) {
    const Resource* resource = resources.Find(ResourceKey::Id(kTypeString), ResourceKey::Id(id / 16 + 1));
    Bytes data;
    StringBlock block;
    if (resource == nullptr || !resource->data.Load(data) || !DecodeStringBlock(data, block) || block[id % 16].empty())
        return std::nullopt;
    return block[id % 16];
}

}  // namespace gr::pack
