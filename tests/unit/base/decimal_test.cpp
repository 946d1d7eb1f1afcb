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
}

}  // namespace
}  // namespace gr
