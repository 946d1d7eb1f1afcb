#include "payload/lzma_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "payload/coding_table.h"

extern "C" {
#include <LzmaEnc.h>
}

namespace gr {
namespace {

using Bytes = std::vector<uint8_t>;

void* Allocate(void*, size_t size) { return std::malloc(size); }
void Release(void*, void* address) { std::free(address); }
ISzAlloc allocator = {Allocate, Release};

// Compressible bytes that are not all alike: text with a counter in it.
Bytes Sample(size_t size) {
    Bytes data;
    for (uint32_t line = 0; data.size() < size; ++line) {
        std::string text = "<item number=\"" + std::to_string(line * 7919 % 100003) + "\">payload</item>\n";
        data.insert(data.end(), text.begin(), text.end());
    }
    data.resize(size);
    return data;
}

// A `.lzma` stream as the packaging tool writes one: properties, size, no end mark.
Bytes Compress(const Bytes& data, uint32_t dictionary) {
    CLzmaEncProps properties;
    LzmaEncProps_Init(&properties);
    properties.dictSize = dictionary;
    properties.numThreads = 1;
    Bytes stream(data.size() + data.size() / 2 + 1024);
    SizeT length = stream.size() - kLzmaHeaderBytes, propertyBytes = kLzmaPropertyBytes;
    EXPECT_EQ(LzmaEncode(stream.data() + kLzmaHeaderBytes, &length, data.data(), data.size(), &properties,
                         stream.data(), &propertyBytes, 0, nullptr, &allocator, &allocator),
              SZ_OK);
    for (int i = 0; i < 8; ++i) stream[kLzmaPropertyBytes + i] = static_cast<uint8_t>(uint64_t{data.size()} >> (8 * i));
    stream.resize(kLzmaHeaderBytes + length);
    return stream;
}

struct Received {
    Bytes bytes;
    size_t largestPiece = 0;
    size_t refuseAfter = SIZE_MAX;
};

bool Take(void* context, const uint8_t* data, size_t size) {
    auto* received = static_cast<Received*>(context);
    received->bytes.insert(received->bytes.end(), data, data + size);
    received->largestPiece = std::max(received->largestPiece, size);
    return received->bytes.size() <= received->refuseAfter;
}

UnpackFault Unpack(const Bytes& stream, uint64_t expected, uint32_t checksum, Received& received) {
    return UnpackLzma(stream.data(), stream.size(), expected, checksum, Take, &received);
}

TEST(LzmaDecoder, UnpacksInPiecesThroughADictionarySmallerThanTheFile) {
    Bytes data = Sample(3 * 1024 * 1024 + 12345);
    Bytes stream = Compress(data, 1 << 16);  // the dictionary buffer wraps many times
    Received received;
    EXPECT_EQ(Unpack(stream, data.size(), Crc32(0, data.data(), data.size()), received), UnpackFault::None);
    EXPECT_TRUE(received.bytes == data);
    EXPECT_LE(received.largestPiece, kUnpackPiece);
    EXPECT_LT(stream.size(), data.size() / 4);

    // The same stream coming in pieces of 7 bytes after the header: the decoder waits for
    // each piece, even in the middle of a symbol, and gives the same bytes.
    struct Pieces {
        const Bytes* stream;
        size_t at = 0;
    } pieces{&stream};
    auto next = [](void* context, const uint8_t** piece) -> size_t {
        auto* from = static_cast<Pieces*>(context);
        size_t size = std::min(from->at == 0 ? kLzmaHeaderBytes : size_t{7}, from->stream->size() - from->at);
        *piece = from->stream->data() + from->at;
        from->at += size;
        return size;
    };
    Received inPieces;
    EXPECT_EQ(UnpackLzma(next, &pieces, data.size(), Crc32(0, data.data(), data.size()), Take, &inPieces),
              UnpackFault::None);
    EXPECT_TRUE(inPieces.bytes == data);
    pieces.at = 0;
    Received cut;
    Bytes shorter(stream.begin(), stream.end() - 3);
    pieces.stream = &shorter;
    EXPECT_EQ(UnpackLzma(next, &pieces, data.size(), 0, Take, &cut), UnpackFault::Truncated);
}

Bytes With(Bytes stream, size_t at, uint8_t value) {
    stream[at] = value;
    return stream;
}

TEST(LzmaDecoder, EveryDamageIsToldAndNothingBeyondTheSizeIsWritten) {
    const Bytes data = Sample(200000);
    const Bytes good = Compress(data, 1 << 20);
    const uint32_t crc = Crc32(0, data.data(), data.size());
    Bytes cut(good.begin(), good.end() - 40), longer = good, dictionary = good, exactLimit = good;
    longer.push_back(0);
    for (int i = 0; i < 4; ++i) {
        dictionary[1 + i] = static_cast<uint8_t>((kLargestLzmaDictionary + 1) >> (8 * i));
        exactLimit[1 + i] = static_cast<uint8_t>(kLargestLzmaDictionary >> (8 * i));
    }
    struct Case {
        const char* what;
        Bytes stream;
        uint64_t expected;
        uint32_t checksum;
        std::vector<UnpackFault> faults;  // any of these
    };
    const std::vector<Case> cases = {
        {"intact", good, data.size(), crc, {UnpackFault::None}},
        {"a dictionary of exactly 64 MB", exactLimit, data.size(), crc, {UnpackFault::None}},
        {"cut inside the header", Bytes(good.begin(), good.begin() + 12), data.size(), crc, {UnpackFault::Header}},
        {"properties no stream has", With(good, 0, 225), data.size(), crc, {UnpackFault::Header}},
        {"a dictionary over 64 MB", dictionary, data.size(), crc, {UnpackFault::Dictionary}},
        {"another size than the manifest's", good, data.size() + 1, crc, {UnpackFault::Size}},
        {"cut short", cut, data.size(), crc, {UnpackFault::Truncated, UnpackFault::Data}},
        {"a byte after the end", longer, data.size(), crc, {UnpackFault::Trailing}},
        {"a flipped byte", With(good, good.size() / 2, good[good.size() / 2] ^ 0x10), data.size(), crc,
         {UnpackFault::Data, UnpackFault::Checksum, UnpackFault::Truncated, UnpackFault::Trailing}},
        {"a wrong checksum", good, data.size(), crc ^ 1, {UnpackFault::Checksum}},
    };
    for (const Case& test : cases) {
        Received received;
        UnpackFault fault = Unpack(test.stream, test.expected, test.checksum, received);
        EXPECT_NE(std::find(test.faults.begin(), test.faults.end(), fault), test.faults.end())
            << test.what << ": " << static_cast<int>(fault);
        EXPECT_LE(received.bytes.size(), test.expected) << test.what;
        EXPECT_NE(std::wstring(UnpackFaultText(fault)), L"") << test.what;
    }
}

TEST(LzmaDecoder, AnEmptyFileAndARefusingSink) {
    Received none;
    EXPECT_EQ(Unpack(Compress({}, 1 << 16), 0, 0, none), UnpackFault::None);
    Bytes data = Sample(3000000);
    Received refusing;
    refusing.refuseAfter = 100;
    EXPECT_EQ(Unpack(Compress(data, 1 << 20), data.size(), Crc32(0, data.data(), data.size()), refusing),
              UnpackFault::Write);
    EXPECT_LE(refusing.bytes.size(), kUnpackPiece);
}

TEST(PayloadCoding, TheTableAndTheChecksum) {
    const uint8_t table[] = {102, 0, 0, 0, 1, 0, 0, 0, 0x78, 0x56, 0x34, 0x12,
                             103, 0, 0, 0, 0, 0, 0, 0, 0,    0,    0,    0};
    ResourceCatalogue catalogue(3);
    for (uint32_t i = 0; i < 3; ++i) catalogue[i].id = 102 + i;
    ASSERT_TRUE(AssignCodings(catalogue, table, sizeof table));
    EXPECT_EQ(catalogue[0].coding, kCodingLzma);
    EXPECT_EQ(catalogue[0].checksum, 0x12345678u);
    EXPECT_EQ(catalogue[1].coding, kCodingStored);  // a record that says "stored"
    EXPECT_EQ(catalogue[2].coding, kCodingStored);  // no record
    EXPECT_FALSE(AssignCodings(catalogue, table, sizeof table - 1));  // not whole records
    uint8_t unknown[12] = {102, 0, 0, 0, 2};
    EXPECT_FALSE(AssignCodings(catalogue, unknown, sizeof unknown));  // a coding this program lacks
    const char* text = "123456789";
    EXPECT_EQ(Crc32(0, reinterpret_cast<const uint8_t*>(text), 9), 0xCBF43926u);  // the standard check value
    EXPECT_EQ(Crc32(Crc32(0, reinterpret_cast<const uint8_t*>(text), 4), reinterpret_cast<const uint8_t*>(text) + 4, 5),
              0xCBF43926u);
}

}  // namespace
}  // namespace gr
