// Conversions between the wizard's wide text and the bytes of its files.
#pragma once

#include <string>
#include <string_view>

namespace wiz {

// UTF-8 bytes, a leading byte-order mark dropped, as wide text; false when they are not UTF-8.
bool FromUtf8(std::string_view bytes, std::wstring& text);

std::string ToUtf8(std::wstring_view text);

// In the ANSI code page, as the bootstrapper writes the shared log; "?" for what it lacks.
std::string ToAnsi(std::wstring_view text);

}  // namespace wiz
