// Small text helpers shared by every subsystem.
#pragma once

#include <string>
#include <string_view>

namespace gr {

// The letters A to Z lowered; every other unit unchanged.
inline wchar_t ToLowerAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

// Equal when the texts differ at most in the letter case of A to Z.
inline bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
    return true;
}

}  // namespace gr
