#include "base/format.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

TEST(Format, ConvertsEachSpecifierOfTheProgramsSubset) {
    EXPECT_EQ(Format(L"Started %ld\n", int32_t{123456}), L"Started 123456\n");
    EXPECT_EQ(Format(L"%d", int32_t{-7}), L"-7");
    EXPECT_EQ(Format(L"%d", int32_t{INT32_MIN}), L"-2147483648");
    EXPECT_EQ(Format(L"%x", uint32_t{0x80030057}), L"80030057");
    EXPECT_EQ(Format(L"%x", int32_t{-1}), L"ffffffff");
    EXPECT_EQ(Format(L"%X", uint32_t{0xBEEF}), L"BEEF");
    EXPECT_EQ(Format(L"%ld", uint32_t{0xFFFFFFFF}), L"4294967295");
    EXPECT_EQ(Format(L"Remove folder '%s'\n", L"Yes"), L"Remove folder 'Yes'\n");
    EXPECT_EQ(Format(L"%s", std::wstring(L"wide \u00e9")), L"wide \u00e9");
}

TEST(Format, EachConversionLetterTakesItsArgument) {
    struct Case {
        const wchar_t* format;
        const wchar_t* text;
    };
    for (const Case& c : {Case{L"%s", L"42"}, Case{L"%d", L"42"}, Case{L"%i", L"42"}, Case{L"%u", L"42"},
                          Case{L"%x", L"2a"}, Case{L"%X", L"2A"}, Case{L"%q", L"%q"}, Case{L"%n", L"%n"}})
        EXPECT_EQ(Format(std::wstring(c.format) + L"|", int32_t{42}), std::wstring(c.text) + L"|") << c.format;
    EXPECT_EQ(Format(L"%p|", int32_t{42}), std::wstring(2 * sizeof(void*) - 2, L'0') + L"2A|");
}

TEST(Format, PadsWidthWithBlanksOnTheLeft) {
    EXPECT_EQ(Format(L"exit code 0x%8x.", uint32_t{5}), L"exit code 0x       5.");
    EXPECT_EQ(Format(L"0x%8x", uint32_t{0x80131700}), L"0x80131700");
    EXPECT_EQ(Format(L"[%4s]", L"ab"), L"[  ab]");
    EXPECT_EQ(Format(L"[%4d]", int32_t{-7}), L"[  -7]");  // the sign counts in the width
}

TEST(Format, PointerIsUpperCaseHexOfFixedWidth) {
    const void* pointer = reinterpret_cast<const void*>(uintptr_t{0xAB});
    std::wstring expected(2 * sizeof(void*) - 2, L'0');
    EXPECT_EQ(Format(L"%p", pointer), expected + L"AB");
}

TEST(Format, OddInputNeverReadsWrongArguments) {
    EXPECT_EQ(Format(L"100%% sure"), L"100% sure");
    EXPECT_EQ(Format(L"%d and %s"), L" and ");            // missing arguments print nothing
    EXPECT_EQ(Format(L"%d", L"text"), L"text");           // a string under %d prints as text
    EXPECT_EQ(Format(L"%s", int32_t{42}), L"42");          // a number under %s prints as decimal
    EXPECT_EQ(Format(L"ends with %"), L"ends with %");
    EXPECT_EQ(Format(L"%q kept", int32_t{1}), L"%q kept");
    EXPECT_EQ(Format(L"%s", static_cast<const wchar_t*>(nullptr)), L"");
}

}  // namespace
}  // namespace gr
