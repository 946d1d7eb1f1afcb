// Text read from a package (settings, names, the signer), made safe to show: a package
// may come from anywhere, and its texts may hold terminal escapes, control characters or
// UTF-16 that does not pair up.
#pragma once

#include <string>
#include <string_view>

namespace gr::pack {

// For a terminal: control characters (0x00-0x1F, 0x7F-0x9F) as \xNN and lone surrogates
// as \uXXXX; the rest as UTF-8.
std::string TerminalText(std::wstring_view text);
// A JSON string, quotes included, in strict UTF-8: control characters and lone
// surrogates as \uXXXX escapes.
std::string JsonString(std::wstring_view text);
// The same for text held as UTF-8; bytes that are not UTF-8 are shown as the lone
// surrogates U+DC80-U+DCFF.
std::string TerminalText(std::string_view utf8);
std::string JsonString(std::string_view utf8);

}  // namespace gr::pack
