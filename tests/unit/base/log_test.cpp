#include "base/log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gr {
namespace {

// A log file in memory that records how it was opened.
class MemoryFile : public LogFile {
public:
    bool Open(const std::wstring& path, bool append) override {
        opens.push_back({path, append});
        if (!canOpen) return false;
        if (!append) contents.clear();
        isOpen = true;
        return true;
    }
    void Write(std::string_view bytes) override {
        ASSERT_TRUE(isOpen);
        contents.append(bytes);
    }
    void Close() override {
        isOpen = false;
        ++closes;
    }

    struct OpenCall {
        std::wstring path;
        bool append;
    };
    std::vector<OpenCall> opens;
    std::string contents;
    bool canOpen = true;
    bool isOpen = false;
    int closes = 0;
};

// ASCII stays; every other character takes three bytes, as in a multi-byte code page.
std::string WideEncoder(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) {
        if (c < 0x80) out.push_back(static_cast<char>(c));
        else out.append("\xE2\x80\xA2");
    }
    return out;
}

class Log : public ::testing::Test {
protected:
    MemoryFile file;
    DiagnosticLog log{file, WideEncoder};
};

TEST_F(Log, HoldsTextBackUntilAFileOpens) {
    log.Text(L"first\n");
    log.Text(L"second\n");
    EXPECT_TRUE(file.opens.empty());
    log.Open(L"c:\\l.txt");
    EXPECT_EQ(file.contents, "first\r\nsecond\r\n");
    EXPECT_TRUE(log.HeldBack().empty());
    log.Text(L"third\n");
    EXPECT_EQ(file.contents, "first\r\nsecond\r\nthird\r\n");
}

TEST_F(Log, WritesLineEndsAsATextModeStreamDoes) {
    EXPECT_EQ(ToTextModeLineEnds("a\nb\r\nc\r"), "a\r\nb\r\r\nc\r");
    EXPECT_EQ(ToTextModeLineEnds("\n\n"), "\r\n\r\n");
    log.Open(L"x");
    log.Text(L"%d stays %s\r\n");
    EXPECT_EQ(file.contents, "%d stays %s\r\r\n");
}

TEST_F(Log, ConvertsEveryTextWhole) {
    log.Open(L"x");
    std::wstring text(100, L'\u00e9');  // three bytes each: more than twice the length
    log.Text(text);
    EXPECT_EQ(file.contents.size(), 300u);
}

TEST_F(Log, AFileThatCannotBeOpenedKeepsTheTextForALaterOpen) {
    file.canOpen = false;
    log.Text(L"kept\n");
    log.Open(L"missing\\folder\\l.txt");
    EXPECT_FALSE(log.IsOpen());
    EXPECT_EQ(log.HeldBack(), L"kept\n");
    log.Text(L"more\n");
    file.canOpen = true;
    log.Open(L"l.txt");
    EXPECT_EQ(file.contents, "kept\r\nmore\r\n");
}

TEST_F(Log, OpeningTheFileAlreadyOpenKeepsWhatItHolds) {
    log.Open(L"c:\\l.txt");
    log.Text(L"start-up\n");
    log.Open(L"c:\\l.txt");
    log.Text(L"run\n");
    EXPECT_EQ(file.opens.size(), 1u);
    EXPECT_EQ(file.contents, "start-up\r\nrun\r\n");

    log.Open(L"c:\\other.txt");  // another file: the first is closed, the new one emptied
    EXPECT_EQ(file.closes, 1);
    ASSERT_EQ(file.opens.size(), 2u);
    EXPECT_FALSE(file.opens[1].append);
}

TEST_F(Log, ReopenAppendsToTheLastPathOnlyWhenClosed) {
    log.Reopen();  // no path ever given
    EXPECT_TRUE(file.opens.empty());
    log.Open(L"l.txt");
    log.Reopen();  // already open
    EXPECT_EQ(file.opens.size(), 1u);
    log.Close();
    log.Close();
    EXPECT_EQ(file.closes, 1);
    log.Text(L"held\n");
    log.Reopen();
    ASSERT_EQ(file.opens.size(), 2u);
    EXPECT_TRUE(file.opens[1].append);
    EXPECT_EQ(file.opens[1].path, L"l.txt");
    EXPECT_EQ(log.HeldBack(), L"held\n");  // reopening does not write held-back text
    log.Text(L"after\n");
    EXPECT_EQ(file.contents, "after\r\n");
}

// The free functions every layer logs through, with a file in memory installed in place of
// the one on disk.
TEST(ProcessLog, WritesThroughTheInstalledFile) {
    static MemoryFile file;
    InstallLogFile(file, WideEncoder);
    OpenLog(L"earlier.txt");  // takes what earlier tests left held back
    LogText(L"before the file\n");
    OpenLog(L"run.txt");
    LogFormat(L"Started %ld at %s\n", int32_t{42}, L"start-up");
    CloseLog();
    LogText(L"while the wizard runs\n");
    ReopenLog();
    LogText(L"after\n");
    EXPECT_EQ(file.contents, "Started 42 at start-up\r\nafter\r\n");
    ASSERT_EQ(file.opens.size(), 3u);
    EXPECT_EQ(file.opens[2].path, L"run.txt");
    EXPECT_TRUE(file.opens[2].append);
    EXPECT_EQ(ProcessLog().HeldBack(), L"while the wizard runs\n");

    static MemoryFile other;  // installing another file closes the one open
    InstallLogFile(other, WideEncoder);
    EXPECT_FALSE(file.isOpen);
    EXPECT_FALSE(ProcessLog().IsOpen());
    ReopenLog();  // the last path went with the old file
    EXPECT_TRUE(other.opens.empty());
}

}  // namespace
}  // namespace gr
