#include "base/decimal.h"

namespace gr {
namespace {

bool IsSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

}  // namespace

int32_t ParseDecimal(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    int64_t magnitude = 0;
    constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;  // enough to clamp either way
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        if (magnitude < kLimit) magnitude = magnitude * 10 + (text[i] - L'0');
    if (negative) return magnitude >= kLimit ? INT32_MIN : static_cast<int32_t>(-magnitude);
    return magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
}

}  // namespace gr
