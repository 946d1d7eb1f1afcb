#include "packer/lzma_encoder.h"

#include <cstdlib>

#include "package/coding.h"

extern "C" {
#include <LzmaEnc.h>
}

namespace gr::pack {
namespace {

void* Allocate(void*, size_t size) { return std::malloc(size); }
void Release(void*, void* address) { std::free(address); }
ISzAlloc allocator = {Allocate, Release};

// The source as the encoder reads it: every byte summed into the checksum on the way.
struct Source {
    ISeqInStream stream;
    File* file;
    uint64_t left;
    uint64_t read = 0;
    uint32_t checksum = 0;
    bool failed = false;
    const std::function<void(uint64_t)>* progress;
};

SRes ReadSource(void* context, void* buffer, size_t* size) {
    auto* source = static_cast<Source*>(context);
    size_t wanted = *size < source->left ? *size : static_cast<size_t>(source->left);
    *size = 0;
    if (wanted == 0) return SZ_OK;
    if (!source->file->Read(buffer, wanted)) {
        source->failed = true;
        return SZ_ERROR_READ;
    }
    source->checksum = Crc32(source->checksum, static_cast<const uint8_t*>(buffer), wanted);
    source->left -= wanted;
    source->read += wanted;
    (*source->progress)(source->read);
    *size = wanted;
    return SZ_OK;
}

struct Sink {
    ISeqOutStream stream;
    File* file;
    uint64_t written = 0;
};

size_t WriteSink(void* context, const void* data, size_t size) {
    auto* sink = static_cast<Sink*>(context);
    if (!sink->file->Write(data, size)) return 0;
    sink->written += size;
    return size;
}

class Encoder {
public:
    Encoder() : handle_(LzmaEnc_Create(&allocator)) {}
    ~Encoder() {
        if (handle_ != nullptr) LzmaEnc_Destroy(handle_, &allocator, &allocator);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
    CLzmaEncHandle get() const { return handle_; }

private:
    CLzmaEncHandle handle_;
};

void PutLittleEndian(uint8_t* at, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

bool CompressLzma(File& source, uint64_t length, File& out, Compressed& result,
                  const std::function<void(uint64_t)>& progress, std::string& error) {
    Encoder encoder;
    CLzmaEncProps properties;
    LzmaEncProps_Init(&properties);
    properties.level = 5;
    properties.dictSize = kLzmaDictionary;
    // The dictionary shrinks to the file (in steps of 2 or 3 times a power of two), and so
    // does the memory the program needs to unpack it.
    properties.reduceSize = length < kLzmaDictionary ? static_cast<UInt32>(length) : kLzmaDictionary;
    properties.fb = kLzmaFastBytes;
    properties.lc = kLzmaLiteralContextBits;
    properties.lp = 0;
    properties.pb = kLzmaPositionBits;
    properties.mc = kLzmaMatchCycles;
    properties.writeEndMark = 0;
    properties.numThreads = 1;
    uint8_t header[kLzmaHeaderBytes];
    SizeT propertyBytes = kLzmaPropertyBytes;
    if (encoder.get() == nullptr || LzmaEnc_SetProps(encoder.get(), &properties) != SZ_OK ||
        LzmaEnc_WriteProperties(encoder.get(), header, &propertyBytes) != SZ_OK) {
        error = "the compressor cannot start (memory)";
        return false;
    }
    PutLittleEndian(header + kLzmaPropertyBytes, length, 8);
    Source in{{ReadSource}, &source, length, 0, 0, false, &progress};
    Sink sink{{WriteSink}, &out, 0};
    if (!out.Write(header, sizeof header)) {
        error = "cannot be written";
        return false;
    }
    SRes encoded = LzmaEnc_Encode(encoder.get(), &sink.stream, &in.stream, nullptr, &allocator, &allocator);
    if (encoded != SZ_OK || in.left != 0) {
        error = in.failed || in.left != 0   ? "cannot be read"
                : encoded == SZ_ERROR_WRITE ? "cannot be written"
                                            : "cannot be compressed (memory)";
        return false;
    }
    result.size = sizeof header + sink.written;
    result.checksum = in.checksum;
    return true;
}

}  // namespace gr::pack
