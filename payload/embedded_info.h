// The embedded information block: bytes after the marker "MRDC" near the end of the
// program file, written to "info.xml" beside the payload.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace gr {

constexpr size_t kInfoWindowBytes = 4116;
constexpr long kInfoWindowFromEnd = 4117;  // the window starts this many bytes before the end

struct InfoBlock {
    size_t offset = 0;  // within the window
    size_t length = 0;
};

// Searches the window (kInfoWindowBytes, read from kInfoWindowFromEnd bytes before the end
// of the file) backwards from position 4111 to 1 for the marker. The first marker met
// decides: the information runs from behind it to six bytes before the end of the file.
// False when there is no marker, or the marker met has nothing behind it.
bool FindEmbeddedInformation(const uint8_t* window, InfoBlock& block);

// The log line after writing the information's `length` bytes to `outputPath`: written
// whole, or not (a write that failed or fell short; the file stays with what it got).
std::wstring InformationWrittenLine(bool whole, int32_t length, std::wstring_view outputPath);

}  // namespace gr
