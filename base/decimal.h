// Reading decimal numbers the way the C runtime's wcstol does with base 10.
#pragma once

#include <cstdint>
#include <string_view>

namespace gr {

// Leading white space is skipped, an optional sign taken, digits read up to the first
// other character; a text without digits reads as 0; values beyond the signed 32-bit
// range are clamped to its limits.
int32_t ParseDecimal(std::wstring_view text);

}  // namespace gr
