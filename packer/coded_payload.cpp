#include "packer/coded_payload.h"

namespace gr::pack {

bool ReadCodingTable(const ResourceList& resources, Bytes& table) {
    const Resource* found = resources.Find(ResourceKey::Name(kCodingType), ResourceKey::Id(kCodingTableId));
    table.clear();
    if (found == nullptr) return true;
    ResourceCatalogue none;  // only checked
    if (found->data.Load(table) && AssignCodings(none, table.data(), table.size())) return true;
    table.clear();
    return false;
}

uint32_t CodingOf(const Bytes& table, uint32_t id) {
    ResourceCatalogue one(1);
    one[0].id = id;
    AssignCodings(one, table.data(), table.size());
    return one[0].coding;
}

bool ReadLzmaHeaderOf(const ResourceData& data, LzmaHeader& header) {
    uint8_t bytes[kLzmaHeaderBytes];
    if (data.Size() < sizeof bytes) return false;
    if (data.file.empty()) return ReadLzmaHeader(data.bytes.data(), data.bytes.size(), header);
    File file = File::OpenRead(data.file);
    return file.ReadAt(data.offset, bytes, sizeof bytes) && ReadLzmaHeader(bytes, sizeof bytes, header);
}

UnpackFault UnpackResource(const ResourceData& data, const CResource& entry, File& out, uint64_t& written) {
    Bytes stream;
    if (data.file.empty()) {
        stream = data.bytes;
    } else {
        File file = File::OpenRead(data.file);
        stream.resize(static_cast<size_t>(data.size));
        if (!file.ReadAt(data.offset, stream.data(), stream.size())) return UnpackFault::Truncated;
    }
    struct Target {
        File* file;
        uint64_t* written;
    } target{&out, &written};
    auto put = [](void* context, const uint8_t* bytes, size_t size) {
        auto* into = static_cast<Target*>(context);
        *into->written += size;
        return into->file->Write(bytes, size);
    };
    if (entry.expectedSize < 0) return UnpackFault::Size;
    return UnpackLzma(stream.data(), stream.size(), static_cast<uint64_t>(entry.expectedSize), entry.checksum, put,
                      &target);
}

}  // namespace gr::pack
