#include "payload/lzma_decoder.h"

#include <cstdlib>

#include "package/coding.h"

extern "C" {
#include <LzmaDec.h>
}

namespace gr {
namespace {

void* Allocate(void*, size_t size) { return std::malloc(size); }
void Release(void*, void* address) { std::free(address); }

// The decoder's state and its dictionary, released whatever way the unpacking ends.
class Decoder {
public:
    Decoder() { LzmaDec_Construct(&state_); }
    ~Decoder() {
        LzmaDec_FreeProbs(&state_, &allocator_);
        std::free(state_.dic);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    bool Start(const uint8_t* properties, size_t dictionaryBytes) {
        if (LzmaDec_AllocateProbs(&state_, properties, kLzmaPropertyBytes, &allocator_) != SZ_OK) return false;
        state_.dic = static_cast<Byte*>(std::malloc(dictionaryBytes));
        state_.dicBufSize = dictionaryBytes;
        if (state_.dic == nullptr) return false;
        LzmaDec_Init(&state_);
        return true;
    }
    UnpackFault Run(const uint8_t* data, size_t size, UnpackSource source, void* sourceContext, uint64_t remaining,
                    uint32_t checksum, UnpackSink sink, void* context);

private:
    CLzmaDec state_;
    ISzAlloc allocator_ = {Allocate, Release};  // on the stack: the program has no writable data
};

UnpackFault Decoder::Run(const uint8_t* data, size_t size, UnpackSource source, void* sourceContext,
                         uint64_t remaining, uint32_t checksum, UnpackSink sink, void* context) {
    uint32_t crc = 0;
    bool exhausted = false;  // the source has no more pieces
    for (;;) {
        if (size == 0 && !exhausted) exhausted = (size = source(sourceContext, &data)) == 0;
        if (state_.dicPos == state_.dicBufSize) state_.dicPos = 0;
        size_t start = state_.dicPos;
        size_t piece = state_.dicBufSize - start;
        if (piece > kUnpackPiece) piece = kUnpackPiece;
        if (piece > remaining) piece = static_cast<size_t>(remaining);
        SizeT used = size;
        ELzmaStatus status;
        if (LzmaDec_DecodeToDic(&state_, start + piece, data, &used,
                                piece == remaining ? LZMA_FINISH_END : LZMA_FINISH_ANY, &status) != SZ_OK)
            return UnpackFault::Data;
        data += used;
        size -= used;
        size_t produced = state_.dicPos - start;
        crc = Crc32(crc, state_.dic + start, produced);
        if (produced != 0 && !sink(context, state_.dic + start, produced)) return UnpackFault::Write;
        remaining -= produced;
        if (status == LZMA_STATUS_NEEDS_MORE_INPUT) {
            if (exhausted) return UnpackFault::Truncated;
            continue;  // the next piece of the stream
        }
        if (remaining == 0) break;
        if (produced == 0) return UnpackFault::Data;  // the stream ended before the file did
    }
    if (size != 0 || (!exhausted && source(sourceContext, &data) != 0)) return UnpackFault::Trailing;
    return crc == checksum ? UnpackFault::None : UnpackFault::Checksum;
}

// A stream that is one piece of memory.
struct Whole {
    const uint8_t* data;
    size_t size;
};

size_t TakeWhole(void* context, const uint8_t** data) {
    auto* whole = static_cast<Whole*>(context);
    size_t size = whole->size;
    *data = whole->data;
    whole->size = 0;
    return size;
}

}  // namespace

UnpackFault UnpackLzma(UnpackSource source, void* sourceContext, uint64_t expectedSize, uint32_t checksum,
                       UnpackSink sink, void* context) {
    const uint8_t* data = nullptr;
    size_t size = source(sourceContext, &data);
    LzmaHeader header;
    CLzmaProps properties;
    if (!ReadLzmaHeader(data, size, header) || LzmaProps_Decode(&properties, data, kLzmaPropertyBytes) != SZ_OK)
        return UnpackFault::Header;
    if (header.dictionary > kLargestLzmaDictionary) return UnpackFault::Dictionary;
    if (header.extractedSize != expectedSize) return UnpackFault::Size;
    // An empty file: nothing to unpack (its stream, if any, is the encoder's closing bytes).
    if (expectedSize == 0) return checksum == 0 ? UnpackFault::None : UnpackFault::Checksum;
    // A stream never reaches further back than it has extracted, so a dictionary larger
    // than the file is never filled.
    size_t dictionary = properties.dicSize < expectedSize ? properties.dicSize : static_cast<size_t>(expectedSize);
    Decoder decoder;
    if (!decoder.Start(data, dictionary)) return UnpackFault::Memory;
    return decoder.Run(data + kLzmaHeaderBytes, size - kLzmaHeaderBytes, source, sourceContext, expectedSize, checksum,
                       sink, context);
}

UnpackFault UnpackLzma(const uint8_t* data, size_t size, uint64_t expectedSize, uint32_t checksum, UnpackSink sink,
                       void* context) {
    Whole whole{data, size};
    return UnpackLzma(TakeWhole, &whole, expectedSize, checksum, sink, context);
}

const wchar_t* UnpackFaultText(UnpackFault fault) {
    // In the order of UnpackFault.
    static const wchar_t* const kTexts[] = {
        L"ok",           L"bad header",      L"dictionary over 64 MB", L"not the manifest's size",
        L"damaged data", L"data ends early", L"data after the end",    L"checksum differs",
        L"out of memory", L"write failed"};
    return kTexts[static_cast<int>(fault)];
}

}  // namespace gr
