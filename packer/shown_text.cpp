#include "packer/shown_text.h"

#include <vector>

#include "packer/utf.h"

namespace gr::pack {
namespace {

// The code points of `text`, pairing UTF-16 surrogates where wchar_t is 16 bits; a
// surrogate left without its partner stays as it is.
std::vector<uint32_t> CodePoints(std::wstring_view text) {
    std::vector<uint32_t> points;
    for (size_t i = 0; i < text.size(); ++i) {
        auto code = static_cast<uint32_t>(text[i]);
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
            auto low = static_cast<uint32_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        points.push_back(code);
    }
    return points;
}

// UTF-8 read as far as it is valid, each byte that is not as U+DC00 + its value.
std::wstring Lenient(std::string_view utf8) {
    std::wstring text, piece;
    for (size_t i = 0; i < utf8.size();) {
        auto lead = static_cast<uint8_t>(utf8[i]);
        size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 4;
        if (i + length <= utf8.size() && DecodeUtf8(utf8.substr(i, length), piece)) {
            text += piece;
            i += length;
        } else {
            text.push_back(static_cast<wchar_t>(0xDC00 + lead));
            ++i;
        }
    }
    return text;
}

bool IsControl(uint32_t code) { return code < 0x20 || (code >= 0x7F && code < 0xA0); }
bool IsSurrogate(uint32_t code) { return code >= 0xD800 && code < 0xE000; }

// "\x1B" (`digits` 2) or "\uD800" (4).
std::string Escape(char kind, int digits, uint32_t code) {
    std::string escape = {'\\', kind};
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) escape += "0123456789ABCDEF"[(code >> shift) & 0xF];
    return escape;
}

std::string Utf8Of(uint32_t code) {
    std::wstring one;
    if (sizeof(wchar_t) == 2 && code >= 0x10000) {
        one.push_back(static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)));
        one.push_back(static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
        one.push_back(static_cast<wchar_t>(code));
    }
    return EncodeUtf8(one);
}

}  // namespace

std::string TerminalText(std::wstring_view text) {
    std::string out;
    for (uint32_t code : CodePoints(text))
        out += IsControl(code) ? Escape('x', 2, code) : IsSurrogate(code) ? Escape('u', 4, code) : Utf8Of(code);
    return out;
}

std::string JsonString(std::wstring_view text) {
    std::string out = "\"";
    for (uint32_t code : CodePoints(text)) {
        if (code == '"' || code == '\\')
            out += std::string("\\") + static_cast<char>(code);
        else
            out += IsControl(code) || IsSurrogate(code) ? Escape('u', 4, code) : Utf8Of(code);
    }
    return out + "\"";
}

std::string TerminalText(std::string_view utf8) { return TerminalText(Lenient(utf8)); }
std::string JsonString(std::string_view utf8) { return JsonString(Lenient(utf8)); }

}  // namespace gr::pack
