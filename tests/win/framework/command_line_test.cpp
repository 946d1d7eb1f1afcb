#include "framework/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <vector>

#include "framework/handles_win.h"

namespace gr {
namespace {

std::vector<std::wstring> SystemSplit(const std::wstring& line) {
    int count = 0;
    LocalMemory memory(::CommandLineToArgvW(line.c_str(), &count));
    auto** words = static_cast<wchar_t**>(memory.Get());
    std::vector<std::wstring> split;
    for (int i = 0; words && i < count; ++i) split.emplace_back(words[i]);
    return split;
}

// The wizard splits its command line with the system's rules; every word the program
// composes must come back whole from them as well as from its own.
TEST(CommandLineOnWindows, ComposedWordsSurviveTheSystemSplitter) {
    const std::vector<std::wstring> words = {
        L"plain", L"a b", L"q\"uote", L"\\", L"d:\\w\\", L"d:\\w\\\\", L"a\\\"b",
        L"\\\\server\\share\\", L"INSTALLDIR=C:\\Program Files\\X", L"/flag", L"tab\there"};
    std::wstring line = L"\"C:\\Program Files\\wizard.exe\"";
    for (const std::wstring& word : words) {
        line += L' ';
        AppendWord(line, word);
        line += L' ';
        AppendQuoted(line, word);
    }
    std::vector<std::wstring> split = SystemSplit(line);
    ASSERT_EQ(split.size(), 1 + 2 * words.size()) << line;
    for (size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(split[1 + 2 * i], words[i]) << line;
        EXPECT_EQ(split[2 + 2 * i], words[i]) << line;
    }
    EXPECT_EQ(SplitCommandLine(line), split);
}

}  // namespace
}  // namespace gr
