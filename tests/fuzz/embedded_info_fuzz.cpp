// Fuzzes the search for the embedded information in the bytes read from the end of the
// program file, which anyone who can append to a copy of the program controls. The window
// lies in a heap block of exactly its size, so a read past it is caught; the block found
// must lie inside the window, behind the marker nearest the end, and end six bytes before
// the end of the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "payload/embedded_info.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// The marker nearest the end among the positions examined, 4111 down to 1; 0 for none.
// Left out of the coverage feedback: it is the reference, not the code under test, and
// its comparisons would only slow the search down.
__attribute__((noinline, no_sanitize("coverage"))) size_t NearestMarker(const uint8_t* window) {
    for (size_t position = gr::kInfoWindowBytes - 5; position >= 1; --position)
        if (window[position] == 'M' && std::memcmp(&window[position], "MRDC", 4) == 0) return position;
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first two bytes place the rest in the window (wrapping round), so short inputs
    // reach every position; the rest of the window is zero. Inputs past the window's size
    // are cut to it.
    constexpr size_t kWindow = gr::kInfoWindowBytes;
    std::unique_ptr<uint8_t[]> window(new uint8_t[kWindow]());
    if (size >= 2) {
        size_t at = static_cast<size_t>(data[0] | (data[1] << 8)) % kWindow;
        size_t length = std::min(size - 2, kWindow);
        size_t first = std::min(length, kWindow - at);
        std::memcpy(&window[at], data + 2, first);
        std::memcpy(&window[0], data + 2 + first, length - first);
    }

    size_t marker = NearestMarker(window.get());

    gr::InfoBlock block;
    bool found = gr::FindEmbeddedInformation(window.get(), block);
    constexpr size_t kInformationEnd = kWindow - 5;  // six bytes before the end of the file
    Check(found == (marker != 0 && marker + 4 < kInformationEnd));
    if (found) {
        Check(block.offset == marker + 4 && block.length >= 1);
        Check(block.offset + block.length == kInformationEnd && kInformationEnd <= kWindow);
    }
    return 0;
}
