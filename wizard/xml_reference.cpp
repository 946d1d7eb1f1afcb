#include "wizard/xml_reference.h"

#include <cstdint>

namespace wiz {
namespace {

constexpr uint32_t kLastCodePoint = 0x10FFFF;

int DigitValue(wchar_t c, int base) {
    int value = (c >= L'0' && c <= L'9') ? c - L'0'
              : (c >= L'a' && c <= L'f') ? c - L'a' + 10
              : (c >= L'A' && c <= L'F') ? c - L'A' + 10
                                         : base;
    return value < base ? value : -1;
}

// The code point of "#65" or "#x41"; 0 when the number is not a character XML allows.
uint32_t CodePoint(std::wstring_view digits) {
    int base = 10;
    if (!digits.empty() && digits[0] == L'x') {
        base = 16;
        digits.remove_prefix(1);
    }
    if (digits.empty()) return 0;
    uint32_t value = 0;
    for (wchar_t c : digits) {
        int digit = DigitValue(c, base);
        if (digit < 0) return 0;
        value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
        if (value > kLastCodePoint) return 0;
    }
    bool control = value < 0x20 && value != 0x9 && value != 0xA && value != 0xD;
    bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return (control || surrogate || value == 0xFFFE || value == 0xFFFF) ? 0 : value;
}

void AppendCodePoint(uint32_t value, std::wstring& out) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (value > 0xFFFF) {
            value -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (value >> 10));
            out += static_cast<wchar_t>(0xDC00 + (value & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(value);
}

}  // namespace

bool AppendReference(std::wstring_view name, std::wstring& out) {
    struct Entity {
        const wchar_t* name;
        wchar_t character;
    };
    for (Entity entity : {Entity{L"amp", L'&'}, Entity{L"lt", L'<'}, Entity{L"gt", L'>'}, Entity{L"quot", L'"'},
                          Entity{L"apos", L'\''}}) {
        if (name == entity.name) {
            out += entity.character;
            return true;
        }
    }
    if (name.empty() || name[0] != L'#') return false;
    uint32_t value = CodePoint(name.substr(1));
    if (value == 0) return false;
    AppendCodePoint(value, out);
    return true;
}

}  // namespace wiz
