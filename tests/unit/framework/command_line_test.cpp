#include "framework/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gr {
namespace {

using Words = std::vector<std::wstring>;

struct SplitCase {
    std::wstring line;
    Words words;
};

TEST(SplitCommandLine, FollowsTheRuntimeRules) {
    const SplitCase cases[] = {
        {L"setup.exe", {L"setup.exe"}},
        {L"\"C:\\Program Files\\a.exe\" x", {L"C:\\Program Files\\a.exe", L"x"}},
        {L"C:\\dir\\\"x y\" z", {L"C:\\dir\\x y", L"z"}},  // no escapes in the program path
        {L"p  a\t\tb  ", {L"p", L"a", L"b"}},
        {L"p \"a b\" c", {L"p", L"a b", L"c"}},
        {L"p a\"b c\"d", {L"p", L"ab cd"}},
        {L"p a\\\"b", {L"p", L"a\"b"}},               // 1 backslash + quote: literal quote
        {L"p a\\\\\"b c\"", {L"p", L"a\\b c"}},       // 2 backslashes + quote: one backslash, group
        {L"p a\\\\\\\"b", {L"p", L"a\\\"b"}},         // 3 backslashes + quote
        {L"p a\\\\b", {L"p", L"a\\\\b"}},             // backslashes elsewhere are literal
        {L"p \"d:\\w\\\\\"", {L"p", L"d:\\w\\"}},
        {L"p \"\"", {L"p", L""}},
        {L"p \"a\"\"b\"", {L"p", L"a\"b"}},            // "" inside a group is a quote
        {L"p \"unterminated", {L"p", L"unterminated"}},
        {L"", {L""}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.words) << "command line: " << c.line;
}

TEST(ArgumentsAfterProgram, IsTheRawTextAfterThePathAndItsBlanks) {
    EXPECT_EQ(ArgumentsAfterProgram(L"\"C:\\a b\\s.exe\"   /x \"y z\""), L"/x \"y z\"");
    EXPECT_EQ(ArgumentsAfterProgram(L"s.exe\tlog c:\\l.txt"), L"log c:\\l.txt");
    EXPECT_EQ(ArgumentsAfterProgram(L"s.exe"), L"");
}

TEST(AppendWord, RoundTripsEveryWordThroughTheSplitter) {
    const Words words = {L"plain", L"", L"a b", L"tab\there", L"q\"uote", L"\"", L"\\", L"\\\\",
                         L"d:\\w\\", L"d:\\w\\\\", L"a\\\"b", L"\\\\server\\share\\", L"x\\\\\"",
                         L"INSTALLDIR=C:\\Program Files\\X", L"/flag", L"end\\ \\"};
    std::wstring line = L"wizard.exe";
    std::wstring quotedLine = L"wizard.exe";
    for (const std::wstring& word : words) {
        line += L' ';
        AppendWord(line, word);
        quotedLine += L' ';
        AppendQuoted(quotedLine, word);
    }
    Words expected = {L"wizard.exe"};
    expected.insert(expected.end(), words.begin(), words.end());
    EXPECT_EQ(SplitCommandLine(line), expected);
    EXPECT_EQ(SplitCommandLine(quotedLine), expected);
}

TEST(AppendWord, LeavesOrdinaryWordsAsTheyAre) {
    std::wstring out;
    AppendWord(out, L"c:\\dir\\file.txt");
    EXPECT_EQ(out, L"c:\\dir\\file.txt");
    out.clear();
    AppendQuoted(out, L"d:\\w\\");
    EXPECT_EQ(out, L"\"d:\\w\\\\\"");  // a final backslash doubled, nothing else changed
}

class Recorder : public CCommandLineInfo {
public:
    struct Call {
        std::wstring param;
        bool prefixed;
        bool last;
        bool operator==(const Call&) const = default;
    };
    void ParseParam(const std::wstring& param, bool prefixed, bool last) override {
        calls.push_back({param, prefixed, last});
    }
    std::vector<Call> calls;
};

TEST(ParseCommandLine, StripsOnePrefixAndMarksTheLastArgument) {
    Recorder recorder;
    ParseCommandLine(recorder, L"setup.exe /keep -x //y log \"\" -");
    const std::vector<Recorder::Call> expected = {
        {L"keep", true, false}, {L"x", true, false}, {L"/y", true, false},
        {L"log", false, false}, {L"", false, false}, {L"", true, true}};
    EXPECT_EQ(recorder.calls, expected);
}

}  // namespace
}  // namespace gr
