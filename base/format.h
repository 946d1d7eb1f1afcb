// The program's one printf-style formatter.
//
// Program texts (log lines, string-table messages) use a small printf subset:
//   %s   a wide string            %d, %ld  a 32-bit signed integer
//   %x   32-bit lower-case hex    %8x      the same, padded on the left with blanks to 8
//   %p   pointer-sized value, upper-case hex, 8 digits     %%  a literal percent sign
// Any width (digits after the %) pads on the left with blanks. The arguments carry their
// own type, so a mismatch between a specifier and an argument can never read the wrong
// thing: an integer under %s prints as decimal, a string under %d prints as text, and a
// specifier with no argument left prints nothing.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace gr {

// The hexadecimal digits, upper case: one copy for every writer of hexadecimal text.
inline constexpr wchar_t kUpperHexDigits[] = L"0123456789ABCDEF";

class FormatArg {
public:
    FormatArg(std::wstring_view text) : kind_(Kind::Text), text_(text) {}
    FormatArg(const std::wstring& text) : kind_(Kind::Text), text_(text) {}
    FormatArg(const wchar_t* text) : kind_(Kind::Text), text_(text ? text : L"") {}
    FormatArg(int32_t value) : kind_(Kind::Signed), number_(static_cast<uint32_t>(value)) {}
    FormatArg(uint32_t value) : kind_(Kind::Unsigned), number_(value) {}
    FormatArg(long value) : FormatArg(static_cast<int32_t>(value)) {}
    FormatArg(unsigned long value) : FormatArg(static_cast<uint32_t>(value)) {}
    FormatArg(const void* pointer)
        : kind_(Kind::Pointer), number_(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pointer))) {}

    enum class Kind { Text, Signed, Unsigned, Pointer };
    Kind kind() const { return kind_; }
    std::wstring_view text() const { return text_; }
    uint64_t number() const { return number_; }

private:
    Kind kind_;
    std::wstring_view text_;
    uint64_t number_ = 0;
};

// Formats `format` with `args` in order; see the subset above.
std::wstring FormatText(std::wstring_view format, std::initializer_list<FormatArg> args);

template <class... Args>
std::wstring Format(std::wstring_view format, const Args&... args) {
    return FormatText(format, {FormatArg(args)...});
}

}  // namespace gr
