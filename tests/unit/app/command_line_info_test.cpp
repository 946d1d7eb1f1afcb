#include "app/command_line_info.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

CCommandLineInfoEx Parsed(const std::wstring& arguments) {
    CCommandLineInfoEx info;
    ParseCommandLine(info, L"setup.exe " + arguments);
    return info;
}

TEST(CommandLineInfo, AValueOptionFollowedByAPrefixedWordIsDropped) {
    CCommandLineInfoEx info = Parsed(L"temp /x y");
    std::wstring value;
    EXPECT_FALSE(info.GetOption(L"temp", value));
    EXPECT_TRUE(value.empty());
    EXPECT_TRUE(info.HasPrefixedFlag(L"x"));
    EXPECT_TRUE(info.GetOption(L"y", value));
    EXPECT_EQ(value, L"");
}

TEST(CommandLineInfo, FlagsAndTheirPrefixes) {
    CCommandLineInfoEx info = Parsed(L"/a b c TRUE -d");
    EXPECT_TRUE(info.HasPrefixedFlag(L"a"));
    EXPECT_TRUE(info.HasPrefixedFlag(L"d"));
    EXPECT_FALSE(info.HasFlag(L"b"));  // a plain word has an empty value
    info.SetOption(L"b", L"true");
    EXPECT_TRUE(info.HasFlag(L"b"));
    EXPECT_FALSE(info.HasPrefixedFlag(L"b"));  // never given with a prefix
    info.RemoveOption(L"a");
    EXPECT_FALSE(info.HasPrefixedFlag(L"a"));  // still a prefixed name, but no longer a flag
    info.SetOption(L"a", L"TRUE");
    EXPECT_TRUE(info.HasPrefixedFlag(L"a"));
}

TEST(CommandLineInfo, LaterWordsReplaceEarlierValues) {
    CCommandLineInfoEx info = Parsed(L"log a log b /log");
    std::wstring value;
    EXPECT_TRUE(info.GetOption(L"log", value));
    EXPECT_EQ(value, L"TRUE");  // the prefixed form came last
    EXPECT_TRUE(info.HasPrefixedFlag(L"log"));
}

}  // namespace
}  // namespace gr
