#include "base/format.h"

#include <iterator>

namespace gr {
namespace {

void AppendPadded(std::wstring& out, std::wstring_view text, size_t width) {
    if (text.size() < width) out.append(width - text.size(), L' ');
    out.append(text);
}

// Room for the longest number: 16 hexadecimal digits, or a sign and 10 decimal digits.
using DigitBuffer = wchar_t[2 * sizeof(uint64_t) + 1];

// Writes the hexadecimal digits of `value` into the end of `buffer`, at least `minDigits`
// of them; returns where they start.
wchar_t* Hex(uint64_t value, bool upper, size_t minDigits, DigitBuffer& buffer) {
    const wchar_t* digits = upper ? kUpperHexDigits : L"0123456789abcdef";
    wchar_t* first = std::end(buffer);
    do {
        *--first = digits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (static_cast<size_t>(std::end(buffer) - first) < minDigits) *--first = L'0';
    return first;
}

// As Hex, in decimal. 32-bit arithmetic throughout: a 64-bit division would bring in the
// compiler's helper routines and their unwind tables.
wchar_t* Decimal(const FormatArg& arg, DigitBuffer& buffer) {
    uint32_t magnitude = static_cast<uint32_t>(arg.number());
    bool negative = false;
    if (arg.kind() == FormatArg::Kind::Signed && (magnitude & 0x80000000u)) {
        negative = true;
        magnitude = 0u - magnitude;  // the two's complement: 0x80000000 gives 2147483648
    }
    wchar_t* first = std::end(buffer);
    do {
        *--first = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) *--first = L'-';
    return first;
}

// Renders one argument under the conversion letter `conversion`: its text, or its digits
// written into `buffer`.
std::wstring_view Render(wchar_t conversion, const FormatArg& arg, DigitBuffer& buffer) {
    if (arg.kind() == FormatArg::Kind::Text) return arg.text();
    wchar_t* first;
    switch (conversion) {
    case L'x': first = Hex(arg.number() & 0xFFFFFFFFu, false, 1, buffer); break;
    case L'X': first = Hex(arg.number() & 0xFFFFFFFFu, true, 1, buffer); break;
    case L'p': first = Hex(arg.number(), true, 2 * sizeof(void*), buffer); break;
    default: first = Decimal(arg, buffer); break;
    }
    return std::wstring_view(first, static_cast<size_t>(std::end(buffer) - first));
}

bool IsConversion(wchar_t c) {
    return c == L's' || c == L'd' || c == L'i' || c == L'u' || c == L'x' || c == L'X' || c == L'p';
}

}  // namespace

std::wstring FormatText(std::wstring_view format, std::initializer_list<FormatArg> args) {
    std::wstring out;
    out.reserve(format.size() + 16);
    auto next = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%') {
            out.push_back(format[i]);
            continue;
        }
        size_t j = i + 1;
        size_t width = 0;
        while (j < format.size() && format[j] >= L'0' && format[j] <= L'9' && width < 4096)
            width = width * 10 + (format[j++] - L'0');
        while (j < format.size() && (format[j] == L'l' || format[j] == L'h' || format[j] == L'w')) ++j;
        if (j >= format.size()) {  // a dangling '%' is kept as typed
            out.append(format.substr(i));
            break;
        }
        if (format[j] == L'%') {
            out.push_back(L'%');
        } else if (!IsConversion(format[j])) {
            out.append(format.substr(i, j - i + 1));  // unknown: keep as typed
        } else if (next != args.end()) {
            DigitBuffer digits;
            AppendPadded(out, Render(format[j], *next++, digits), width);
        }
        i = j;
    }
    return out;
}

}  // namespace gr
