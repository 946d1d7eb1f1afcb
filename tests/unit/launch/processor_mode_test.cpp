#include "launch/processor_mode.h"

#include <gtest/gtest.h>

#include <string>

namespace gr {
namespace {

TEST(ProcessorMode, WholeTextsIgnoringTheCaseOfLettersOnly) {
    struct Case {
        const wchar_t* text;
        ProcessorMode mode;
        const wchar_t* line;
    };
    const Case cases[] = {
        {L"x86", ProcessorMode::X86, L"Swapping to x86\n"},
        {L"X64", ProcessorMode::X64, L"Swapping to x64\n"},
        {L"x32only", ProcessorMode::X32Only, L"Swapping to 32Bit only\n"},
        {L"X32ONLY", ProcessorMode::X32Only, L"Swapping to 32Bit only\n"},
        {L"AnyCPU", ProcessorMode::Any, L"Staying on Any\n"},
        {L"", ProcessorMode::Any, L"Staying on Any\n"},
        {L"x86 ", ProcessorMode::Any, L"Staying on Any\n"},
        {L"x64-bit", ProcessorMode::Any, L"Staying on Any\n"},
        {L"\u0445\u0038\u0036", ProcessorMode::Any, L"Staying on Any\n"},  // a Cyrillic letter x
    };
    for (const Case& c : cases) {
        const wchar_t* line = nullptr;
        EXPECT_EQ(ParseProcessorMode(c.text, line), c.mode) << c.text;
        EXPECT_EQ(std::wstring(line), c.line) << c.text;
    }
}

TEST(ProcessorMode, DecisionTable) {
    struct Case {
        ProcessorMode mode;
        bool wow64, fits, redirectionOff;
    };
    const Case cases[] = {
        {ProcessorMode::Any, false, true, false},     {ProcessorMode::Any, true, true, true},
        {ProcessorMode::X86, false, true, false},     {ProcessorMode::X86, true, true, false},
        {ProcessorMode::X64, false, false, false},    {ProcessorMode::X64, true, true, true},
        {ProcessorMode::X32Only, false, true, false}, {ProcessorMode::X32Only, true, false, false},
    };
    for (const Case& c : cases) {
        RedirectionDecision decision = DecideRedirection(c.mode, c.wow64);
        EXPECT_EQ(decision.fits, c.fits) << static_cast<int>(c.mode) << " wow64=" << c.wow64;
        EXPECT_EQ(decision.redirectionOff, c.redirectionOff) << static_cast<int>(c.mode) << " wow64=" << c.wow64;
    }
}

}  // namespace
}  // namespace gr
