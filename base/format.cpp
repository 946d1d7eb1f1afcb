#include "base/format.h"

namespace gr {
namespace {

void AppendPadded(std::wstring& out, std::wstring_view text, size_t width) {
    if (text.size() < width) out.append(width - text.size(), L' ');
    out.append(text);
}

std::wstring Hex(uint64_t value, bool upper, size_t minDigits) {
    const wchar_t* digits = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
    std::wstring text;
    do {
        text.insert(text.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (text.size() < minDigits) text.insert(0, minDigits - text.size(), L'0');
    return text;
}

// 32-bit arithmetic throughout: a 64-bit division would bring in the compiler's helper
// routines and their unwind tables.
std::wstring Decimal(const FormatArg& arg) {
    uint32_t magnitude = static_cast<uint32_t>(arg.number());
    bool negative = false;
    if (arg.kind() == FormatArg::Kind::Signed && (magnitude & 0x80000000u)) {
        negative = true;
        magnitude = 0u - magnitude;  // the two's complement: 0x80000000 gives 2147483648
    }
    std::wstring text;
    do {
        text.insert(text.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) text.insert(text.begin(), L'-');
    return text;
}

// Renders one argument under the conversion letter `conversion`.
std::wstring Render(wchar_t conversion, const FormatArg& arg) {
    if (arg.kind() == FormatArg::Kind::Text) return std::wstring(arg.text());
    switch (conversion) {
    case L'x': return Hex(arg.number() & 0xFFFFFFFFu, false, 1);
    case L'X': return Hex(arg.number() & 0xFFFFFFFFu, true, 1);
    case L'p': return Hex(arg.number(), true, 2 * sizeof(void*));
    default: return Decimal(arg);
    }
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
            AppendPadded(out, Render(format[j], *next++), width);
        }
        i = j;
    }
    return out;
}

}  // namespace gr
