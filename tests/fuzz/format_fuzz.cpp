// Fuzzes the formatter with any format text and any arguments. Where the widths are short
// (three digits at most) the output must match what the C library's wide printf makes of
// each specifier with the argument's own type: numbers by their kind (signed or not),
// hexadecimal of the low 32 bits, pointers as upper-case hexadecimal of fixed width, texts
// as they are, missing arguments as nothing and anything else kept as typed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "base/format.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// Up to three arguments from the front of the input: a kind byte and four value bytes each.
std::vector<gr::FormatArg> TakeArguments(const uint8_t*& data, size_t& size, std::vector<std::wstring>& texts) {
    std::vector<gr::FormatArg> args;
    if (size == 0) return args;
    size_t count = data[0] % 4;
    ++data, --size;
    texts.reserve(count);
    for (; count > 0 && size >= 5; --count, data += 5, size -= 5) {
        uint32_t value = data[1] | (data[2] << 8) | (data[3] << 16) | (static_cast<uint32_t>(data[4]) << 24);
        switch (data[0] % 4) {
        case 0: {
            std::wstring& text = texts.emplace_back();
            for (size_t i = 0; i < data[0] / 4 % 5; ++i) text.push_back(static_cast<wchar_t>(data[1 + i % 4] | 1));
            args.emplace_back(text);
            break;
        }
        case 1: args.emplace_back(static_cast<int32_t>(value)); break;
        case 2: args.emplace_back(value); break;
        default: {
            uintptr_t pointer = value;
            if (sizeof(pointer) > 4 && (data[0] & 0x80)) pointer |= static_cast<uintptr_t>(~value) << 16 << 16;
            args.emplace_back(reinterpret_cast<const void*>(pointer));
        }
        }
    }
    return args;
}

std::wstring Printed(const wchar_t* format, int width, auto value) {
    wchar_t buffer[1100];
    int length = std::swprintf(buffer, 1100, format, width, value);
    Check(length >= 0);
    return std::wstring(buffer, static_cast<size_t>(length));
}

std::wstring Rendered(wchar_t conversion, int width, const gr::FormatArg& arg) {
    using Kind = gr::FormatArg::Kind;
    if (arg.kind() == Kind::Text) return Printed(L"%*ls", width, std::wstring(arg.text()).c_str());
    uint32_t low = static_cast<uint32_t>(arg.number());
    switch (conversion) {
    case L'x': return Printed(L"%*x", width, low);
    case L'X': return Printed(L"%*X", width, low);
    case L'p': {
        std::wstring digits = Printed(L"%0*llX", static_cast<int>(2 * sizeof(void*)),
                                      static_cast<unsigned long long>(arg.number()));
        return Printed(L"%*ls", width, digits.c_str());
    }
    default:
        if (arg.kind() == Kind::Signed) return Printed(L"%*d", width, static_cast<int32_t>(low));
        return Printed(L"%*u", width, low);
    }
}

// The expected output, or false when a width is too long for the reference to follow.
bool Expected(const std::wstring& format, const std::vector<gr::FormatArg>& args, std::wstring& out) {
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%') {
            out.push_back(format[i]);
            continue;
        }
        size_t j = i + 1;
        int width = 0;
        for (; j < format.size() && format[j] >= L'0' && format[j] <= L'9'; ++j) {
            if (j - i > 3) return false;
            width = width * 10 + (format[j] - L'0');
        }
        while (j < format.size() && std::wstring(L"lhw").find(format[j]) != std::wstring::npos) ++j;
        if (j == format.size()) return out.append(format, i), true;
        if (format[j] == L'%')
            out.push_back(L'%');
        else if (std::wstring(L"sdiuxXp").find(format[j]) == std::wstring::npos)
            out.append(format, i, j - i + 1);
        else if (next < args.size())
            out += Rendered(format[j], width, args[next++]);
        i = j;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::wstring> texts;
    std::vector<gr::FormatArg> args = TakeArguments(data, size, texts);
    std::wstring format(data, data + size);
    std::wstring out;
    switch (args.size()) {
    case 0: out = gr::Format(format); break;
    case 1: out = gr::Format(format, args[0]); break;
    case 2: out = gr::Format(format, args[0], args[1]); break;
    default: out = gr::Format(format, args[0], args[1], args[2]); break;
    }
    std::wstring expected;
    if (Expected(format, args, expected)) Check(out == expected);
    return 0;
}
