#include "payload/lzma_decoder.h"

#include <cstdlib>

#include "payload/payload_coding.h"

extern "C" {
#include <LzmaDec.h>
}

namespace gr {
namespace {

void* Allocate(void*, size_t size) { return std::malloc(size); }
void Release(void*, void* address) { std::free(address); }
ISzAlloc allocator = {Allocate, Release};

// The decoder's state and its dictionary, released whatever way the unpacking ends.
class Decoder {
public:
    Decoder() { LzmaDec_Construct(&state_); }
    ~Decoder() {
        LzmaDec_FreeProbs(&state_, &allocator);
        std::free(state_.dic);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    bool Start(const uint8_t* properties, size_t dictionaryBytes) {
        if (LzmaDec_AllocateProbs(&state_, properties, kLzmaPropertyBytes, &allocator) != SZ_OK) return false;
        state_.dic = static_cast<Byte*>(std::malloc(dictionaryBytes));
        state_.dicBufSize = dictionaryBytes;
        if (state_.dic == nullptr) return false;
        LzmaDec_Init(&state_);
        return true;
    }
    UnpackFault Run(const uint8_t* data, size_t size, uint64_t remaining, uint32_t checksum, UnpackSink sink,
                    void* context);

private:
    CLzmaDec state_;
};

UnpackFault Decoder::Run(const uint8_t* data, size_t size, uint64_t remaining, uint32_t checksum, UnpackSink sink,
                         void* context) {
    uint32_t crc = 0;
    while (remaining > 0) {
        if (state_.dicPos == state_.dicBufSize) state_.dicPos = 0;
        size_t start = state_.dicPos;
        size_t piece = state_.dicBufSize - start;
        if (piece > kUnpackPiece) piece = kUnpackPiece;
        if (piece > remaining) piece = static_cast<size_t>(remaining);
        SizeT used = size;
        ELzmaStatus status;
        bool last = piece == remaining;
        if (LzmaDec_DecodeToDic(&state_, start + piece, data, &used, last ? LZMA_FINISH_END : LZMA_FINISH_ANY,
                                &status) != SZ_OK)
            return UnpackFault::Data;
        data += used;
        size -= used;
        size_t produced = state_.dicPos - start;
        if (produced == 0) return status == LZMA_STATUS_NEEDS_MORE_INPUT ? UnpackFault::Truncated : UnpackFault::Data;
        crc = Crc32(crc, state_.dic + start, produced);
        if (!sink(context, state_.dic + start, produced)) return UnpackFault::Write;
        remaining -= produced;
        if (remaining == 0 && status == LZMA_STATUS_NEEDS_MORE_INPUT) return UnpackFault::Truncated;
    }
    if (size != 0) return UnpackFault::Trailing;
    return crc == checksum ? UnpackFault::None : UnpackFault::Checksum;
}

}  // namespace

UnpackFault UnpackLzma(const uint8_t* data, size_t size, uint64_t expectedSize, uint32_t checksum, UnpackSink sink,
                       void* context) {
    LzmaHeader header;
    CLzmaProps properties;
    if (!ReadLzmaHeader(data, size, header) || LzmaProps_Decode(&properties, data, kLzmaPropertyBytes) != SZ_OK)
        return UnpackFault::Header;
    if (header.dictionary > kLargestLzmaDictionary) return UnpackFault::Dictionary;
    if (header.extractedSize != expectedSize) return UnpackFault::Size;
    if (expectedSize == 0) return size == kLzmaHeaderBytes ? UnpackFault::None : UnpackFault::Trailing;
    // A stream never reaches further back than it has extracted, so a dictionary larger
    // than the file is never filled.
    size_t dictionary = properties.dicSize < expectedSize ? properties.dicSize : static_cast<size_t>(expectedSize);
    Decoder decoder;
    if (!decoder.Start(data, dictionary)) return UnpackFault::Memory;
    return decoder.Run(data + kLzmaHeaderBytes, size - kLzmaHeaderBytes, expectedSize, checksum, sink, context);
}

const wchar_t* UnpackFaultText(UnpackFault fault) {
    switch (fault) {
        case UnpackFault::None: return L"unpacked";
        case UnpackFault::Header: return L"its header is cut short or not valid";
        case UnpackFault::Dictionary: return L"its dictionary is over the 64 MB limit";
        case UnpackFault::Size: return L"it unpacks to another size than the manifest's";
        case UnpackFault::Data: return L"its data is damaged";
        case UnpackFault::Truncated: return L"its data ends early";
        case UnpackFault::Trailing: return L"bytes follow the end of its data";
        case UnpackFault::Checksum: return L"its unpacked bytes fail their checksum";
        case UnpackFault::Memory: return L"the memory to unpack it is not there";
        case UnpackFault::Write: return L"it cannot be written";
    }
    return L"";
}

}  // namespace gr
