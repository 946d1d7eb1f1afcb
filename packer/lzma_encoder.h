// Compressing one payload file into a `.lzma` stream with fixed parameters, streamed from
// the source file to the output file, so that the same bytes always give the same stream.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "packer/file_io.h"

namespace gr::pack {

// The encoder's parameters, fixed: they are part of what makes a package's bytes.
constexpr uint32_t kLzmaDictionary = 16 * 1024 * 1024;  // smaller for a smaller file
constexpr int kLzmaFastBytes = 64;
// Literal context bits 3, position bits 0 (not the usual 2), and a deeper match search
// (1000 nodes): measured on Windows DLLs, 32- and 64-bit, and on XML, each made the
// streams 0.2 to 1% smaller than the usual settings, at no cost in time.
constexpr int kLzmaLiteralContextBits = 3;
constexpr int kLzmaPositionBits = 0;
constexpr uint32_t kLzmaMatchCycles = 1000;

struct Compressed {
    uint64_t size = 0;      // bytes of the stream, header included
    uint32_t checksum = 0;  // CRC-32 of the source's bytes
};

// Compresses `length` bytes of `source` from its current position into `out` at its current
// position. `progress` hears the source bytes read so far. False with `error` when a file
// cannot be read or written, or the memory is not there.
bool CompressLzma(File& source, uint64_t length, File& out, Compressed& result,
                  const std::function<void(uint64_t)>& progress, std::string& error);

}  // namespace gr::pack
