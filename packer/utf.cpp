#include "packer/utf.h"

#include <cstdio>

namespace gr::pack {

bool DecodeUtf8(std::string_view text, std::wstring& out) {
    out.clear();
    for (size_t i = 0; i < text.size();) {
        auto lead = static_cast<uint8_t>(text[i]);
        size_t extra = lead < 0x80             ? 0
                       : (lead & 0xE0) == 0xC0 ? 1
                       : (lead & 0xF0) == 0xE0 ? 2
                       : (lead & 0xF8) == 0xF0 ? 3
                                               : 4;
        if (extra == 4 || i + extra >= text.size()) return false;
        uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (size_t k = 1; k <= extra; ++k) {
            auto next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        constexpr uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        if (sizeof(wchar_t) == 2 && code >= 0x10000) {
            out.push_back(static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(code));
        }
        i += extra + 1;
    }
    return true;
}

namespace {

// The code point at `i`, joining a UTF-16 surrogate pair where wchar_t is 16 bits.
uint32_t CodePointAt(std::wstring_view text, size_t& i) {
    auto code = static_cast<uint32_t>(text[i]);
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
        auto low = static_cast<uint32_t>(text[i + 1]);
        if (low >= 0xDC00 && low < 0xE000) {
            ++i;
            return 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return code;
}

}  // namespace

std::string EncodeUtf8(std::wstring_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t code = CodePointAt(text, i);
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

void AppendUtf16(Bytes& out, std::wstring_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t code = CodePointAt(text, i);
        if (code >= 0x10000) {
            Append16(out, 0xD800 + ((code - 0x10000) >> 10));
            Append16(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            Append16(out, code);
        }
    }
}

size_t Utf16Length(std::wstring_view text) {
    size_t units = 0;
    for (size_t i = 0; i < text.size(); ++i) units += CodePointAt(text, i) >= 0x10000 ? 2 : 1;
    return units;
}

std::wstring ReadUtf16(const uint8_t* data, size_t units) {
    std::wstring text;
    for (size_t i = 0; i < units; ++i) {
        uint32_t code = Get16(data + 2 * i);
        if (sizeof(wchar_t) == 4 && code >= 0xD800 && code < 0xDC00 && i + 1 < units) {
            uint32_t low = Get16(data + 2 * (i + 1));
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        text.push_back(static_cast<wchar_t>(code));
    }
    return text;
}

std::string JsonText(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace gr::pack
