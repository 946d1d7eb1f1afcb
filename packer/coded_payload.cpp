#include "packer/coded_payload.h"

#include <algorithm>

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

namespace {

// The stream read from the package a piece at a time: the tool's memory stays small for any
// size of file.
struct StreamReader {
    File file;
    uint64_t offset;
    uint64_t left;
    Bytes piece;
};

size_t NextPiece(void* context, const uint8_t** data) {
    auto* reader = static_cast<StreamReader*>(context);
    size_t size = static_cast<size_t>(std::min<uint64_t>(reader->left, reader->piece.size()));
    if (size == 0 || !reader->file.ReadAt(reader->offset, reader->piece.data(), size)) return 0;
    reader->offset += size;
    reader->left -= size;
    *data = reader->piece.data();
    return size;
}

}  // namespace

UnpackFault UnpackResource(const ResourceData& data, const CResource& entry, File& out, uint64_t& written) {
    if (entry.expectedSize < 0) return UnpackFault::Size;
    struct Target {
        File* file;
        uint64_t* written;
    } target{&out, &written};
    auto put = [](void* context, const uint8_t* bytes, size_t size) {
        auto* into = static_cast<Target*>(context);
        *into->written += size;
        return into->file->Write(bytes, size);
    };
    const auto expected = static_cast<uint64_t>(entry.expectedSize);
    if (data.file.empty())
        return UnpackLzma(data.bytes.data(), data.bytes.size(), expected, entry.checksum, put, &target);
    StreamReader reader{File::OpenRead(data.file), data.offset, data.size, Bytes(kCopyPiece)};
    return UnpackLzma(NextPiece, &reader, expected, entry.checksum, put, &target);
}

}  // namespace gr::pack
