// Text conversions: definitions are UTF-8, resources hold UTF-16 (little-endian), and the
// tool's own output is UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "packer/bytes.h"

namespace gr::pack {

// False when `text` is not valid UTF-8; `out` then holds what came before the fault.
bool DecodeUtf8(std::string_view text, std::wstring& out);
std::string EncodeUtf8(std::wstring_view text);
// Appends `text` as UTF-16 little-endian code units (surrogate pairs where needed).
void AppendUtf16(Bytes& out, std::wstring_view text);
// The UTF-16 count of code units `text` takes.
size_t Utf16Length(std::wstring_view text);
// `units` UTF-16 little-endian code units at `data`, as text.
std::wstring ReadUtf16(const uint8_t* data, size_t units);
// UTF-8 `text` as a JSON string, in double quotes, with its quotes, backslashes and control
// characters escaped.
std::string JsonText(std::string_view text);

}  // namespace gr::pack
