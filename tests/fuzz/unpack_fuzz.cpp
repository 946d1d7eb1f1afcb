// Fuzzes the unpacking of a compressed payload file, whose stream anyone who can change a
// package's bytes controls (a damaged download too). The input is a flag byte, the size the
// manifest states and the checksum the coding table states (4 bytes each), then the stream,
// in a heap block of exactly its size. Whatever the stream: the sink never gets more than
// the stated size, in pieces of at most 1 MB; a dictionary over the limit is refused (and
// only then) before anything is allocated; a header that states another size is refused;
// an unpacking that succeeds gave exactly the stated size with the stated checksum; and one
// refused only for its checksum succeeds with the checksum of what it gave.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "package/coding.h"
#include "payload/lzma_decoder.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

uint32_t Get32(const uint8_t* data) {
    return data[0] | (static_cast<uint32_t>(data[1]) << 8) | (static_cast<uint32_t>(data[2]) << 16) |
           (static_cast<uint32_t>(data[3]) << 24);
}

struct Received {
    uint64_t bytes = 0;
    uint32_t crc = 0;
    uint64_t stated = 0;
    bool refuse = false;
};

bool Take(void* context, const uint8_t* data, size_t size) {
    auto* received = static_cast<Received*>(context);
    Check(size > 0 && size <= gr::kUnpackPiece);
    received->bytes += size;
    Check(received->bytes <= received->stated);
    received->crc = gr::Crc32(received->crc, data, size);
    return !received->refuse;
}

// The stream in pieces of `step` bytes after the header.
struct Pieces {
    const uint8_t* data;
    size_t size;
    size_t step;
    size_t at = 0;
};

size_t NextPiece(void* context, const uint8_t** piece) {
    auto* pieces = static_cast<Pieces*>(context);
    size_t size = pieces->at == 0 ? gr::kLzmaHeaderBytes : pieces->step;
    if (size > pieces->size - pieces->at) size = pieces->size - pieces->at;
    *piece = pieces->data + pieces->at;
    pieces->at += size;
    return size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kLargestStated = 4 * 1024 * 1024;  // keeps each run's memory small
    if (size < 9) return 0;
    uint8_t flags = data[0];
    gr::LzmaHeader header;
    size_t length = size - 9;
    std::unique_ptr<uint8_t[]> stream(new uint8_t[length]);
    std::memcpy(stream.get(), data + 9, length);
    bool hasHeader = gr::ReadLzmaHeader(stream.get(), length, header);
    // Mostly the header's own size, so the decoding goes on; else the stated one.
    Received received;
    received.stated = Get32(data + 1) % kLargestStated;
    if ((flags & 1) != 0 && hasHeader && header.extractedSize <= kLargestStated) received.stated = header.extractedSize;
    received.refuse = (flags & 2) != 0;
    uint32_t checksum = Get32(data + 5);

    gr::UnpackFault fault = gr::UnpackLzma(stream.get(), length, received.stated, checksum, Take, &received);

    bool validProperties = hasHeader && stream[0] < 9 * 5 * 5;
    Check(hasHeader || fault == gr::UnpackFault::Header);
    if (validProperties) {
        Check((fault == gr::UnpackFault::Dictionary) == (header.dictionary > gr::kLargestLzmaDictionary));
        if (header.dictionary <= gr::kLargestLzmaDictionary)
            Check((fault == gr::UnpackFault::Size) == (header.extractedSize != received.stated));
    }
    if (fault == gr::UnpackFault::Dictionary || fault == gr::UnpackFault::Size || fault == gr::UnpackFault::Header)
        Check(received.bytes == 0);
    if (fault == gr::UnpackFault::None) Check(received.bytes == received.stated && received.crc == checksum);
    if (fault == gr::UnpackFault::Write) Check(received.refuse);
    if (!received.refuse) {
        Received inPieces;
        inPieces.stated = received.stated;
        Pieces pieces{stream.get(), length, static_cast<size_t>(flags >> 2) + 1};
        Check(gr::UnpackLzma(NextPiece, &pieces, inPieces.stated, checksum, Take, &inPieces) == fault);
        if (fault == gr::UnpackFault::None || fault == gr::UnpackFault::Checksum)
            Check(inPieces.bytes == received.bytes && inPieces.crc == received.crc);
    }
    if (fault == gr::UnpackFault::Checksum) {
        // Everything else held: the same stream with the checksum of what came out unpacks.
        Check(received.bytes == received.stated && received.crc != checksum);
        Received again;
        again.stated = received.stated;
        Check(gr::UnpackLzma(stream.get(), length, again.stated, received.crc, Take, &again) == gr::UnpackFault::None);
        Check(again.bytes == received.stated && again.crc == received.crc);
    }
    return 0;
}
