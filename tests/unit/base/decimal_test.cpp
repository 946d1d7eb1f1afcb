#include "base/decimal.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

TEST(ParseDecimal, ReadsLikeTheRuntimesWcstol) {
    struct Case {
        const wchar_t* text;
        int32_t value;
    };
    const Case cases[] = {
        {L"0", 0}, {L"1", 1}, {L"-1", -1}, {L"+7", 7}, {L"  \t\n42", 42}, {L"12abc", 12},
        {L"", 0}, {L"abc", 0}, {L"-", 0}, {L"- 1", 0}, {L"--1", 0}, {L"007", 7},
        {L"2147483647", INT32_MAX}, {L"2147483648", INT32_MAX}, {L"99999999999999999999", INT32_MAX},
        {L"-2147483648", INT32_MIN}, {L"-2147483649", INT32_MIN}, {L"-99999999999999999999", INT32_MIN},
        {L"1 2", 1}, {L"\u00a01", 0},  // only the C locale's white space is skipped
    };
    for (const Case& c : cases) EXPECT_EQ(ParseDecimal(c.text), c.value) << "text: '" << c.text << "'";
    // Each leading white-space character of the C locale is skipped, and the characters on
    // either side of its range are not.
    for (wchar_t space : {L' ', L'\t', L'\n', L'\v', L'\f', L'\r'})
        EXPECT_EQ(ParseDecimal(std::wstring(1, space) + L"5"), 5) << static_cast<int>(space);
    for (wchar_t other : {L'\b', wchar_t{0x0E}, wchar_t{0x1F}, L'!'})
        EXPECT_EQ(ParseDecimal(std::wstring(1, other) + L"5"), 0) << static_cast<int>(other);
}

}  // namespace
}  // namespace gr
