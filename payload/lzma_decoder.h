// Unpacking a compressed payload file: a `.lzma` stream decoded piece by piece into a
// sink (the output file), with every fault of the stream told apart.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gr {

enum class UnpackFault {
    None,
    Header,      // shorter than its header, or properties no LZMA stream has
    Dictionary,  // a dictionary over kLargestLzmaDictionary
    Size,        // the header's extracted size is not the manifest's
    Data,        // the decoder met data no encoder writes
    Truncated,   // the stream ends before the extracted size is reached
    Trailing,    // bytes follow the end of the stream
    Checksum,    // the extracted bytes do not match their CRC-32
    Memory,      // the dictionary could not be allocated
    Write,       // the sink refused a piece
};

// Takes each piece of extracted bytes, in order; false stops the unpacking.
using UnpackSink = bool (*)(void* context, const uint8_t* data, size_t size);

// Hands the next piece of the stream: sets `data` and returns its byte count; 0 when the
// stream has no more. The first piece holds at least the header, unless the stream is
// shorter.
using UnpackSource = size_t (*)(void* context, const uint8_t** data);

// Pieces handed to the sink hold at most this many bytes.
constexpr size_t kUnpackPiece = 1024 * 1024;

// Decodes the stream `data` of `size` bytes, which must extract to `expectedSize` bytes
// with CRC-32 `checksum`, handing the bytes to `sink` as they come. The memory it takes is
// the smaller of the stream's dictionary and the extracted size (plus 16 KB), and nothing
// is allocated when the header is refused. The sink never receives more than
// `expectedSize` bytes in all; after a fault what it received is not to be used.
UnpackFault UnpackLzma(const uint8_t* data, size_t size, uint64_t expectedSize, uint32_t checksum, UnpackSink sink,
                       void* context);
// The same for a stream that comes in pieces from `source`.
UnpackFault UnpackLzma(UnpackSource source, void* sourceContext, uint64_t expectedSize, uint32_t checksum,
                       UnpackSink sink, void* context);

// The fault in a few words, for a log line or a message: "data ends early".
const wchar_t* UnpackFaultText(UnpackFault fault);

}  // namespace gr
