#include "base/log.h"

#include "base/file_refusal.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace gr {
namespace {

// A log file in memory that records how it was opened.
class MemoryFile : public LogFile {
public:
    LogOpening Open(const std::wstring& path, bool append) override {
        opens.push_back({path, append});
        if (refuse) return LogOpening::Refused;
        if (!canOpen) return LogOpening::Failed;
        if (!append) contents.clear();
        isOpen = true;
        return LogOpening::Opened;
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
    bool refuse = false;  // the name is a link, a folder or a file of several names
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

TEST_F(Log, ClosedAndOpenedAgainOnTheSamePathItWritesAgain) {
    log.Open(L"l.txt");
    log.Text(L"first run\n");
    log.Close();
    EXPECT_EQ(log.Open(L"l.txt"), LogOpening::Opened);
    EXPECT_TRUE(log.IsOpen());
    log.Text(L"second run\n");
    EXPECT_EQ(file.contents, "second run\r\n");
}

// The one rule for the log, the payload files and what the removal deletes.
TEST(FileRefusal, LinksFilesOfSeveralNamesAndNamesThatOpenAnotherFileAreRefused) {
    struct Case {
        uint32_t attributes;
        uint32_t links;
        bool atItsName;
        FileRefusal refusal;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0x20, 1, true, FileRefusal::None, L""},          // an archive file, its one name
        {0x80, 1, true, FileRefusal::None, L""},          // a normal file
        {0x01, 1, true, FileRefusal::None, L""},          // read-only: refused by the open, not by its facts
        {0x20, 0, true, FileRefusal::None, L""},          // a new file not yet counted
        {0x20, 2, true, FileRefusal::OtherNames, L"it has other names"},  // a hard link
        {0x80, 40, true, FileRefusal::OtherNames, L"it has other names"},
        {0x20, 1, false, FileRefusal::Elsewhere, L"it leads to another file"},  // a link shown as the file
        {0x20, 2, false, FileRefusal::Elsewhere, L"it leads to another file"},
        {0x10, 1, true, FileRefusal::Folder, L"it is a folder"},
        {0x10, 1, false, FileRefusal::Folder, L"it is a folder"},
        {0x410, 1, true, FileRefusal::Link, L"it is a link"},  // a junction or a link to a folder
        {0x420, 1, false, FileRefusal::Link, L"it is a link"},  // a symbolic link to a file
        {0x400, 3, true, FileRefusal::Link, L"it is a link"},
    };
    for (const Case& c : cases) {
        FileRefusal refusal = RefusalOf(OpenedFacts{c.attributes, c.links, c.atItsName}, FileUse::Write);
        EXPECT_EQ(refusal, c.refusal) << std::hex << c.attributes << " " << c.links << " " << c.atItsName;
        EXPECT_STREQ(RefusalText(refusal), c.text);
        // Deleting a name takes only that name: other names are no reason to keep it.
        FileRefusal deleting = RefusalOf(OpenedFacts{c.attributes, c.links, c.atItsName}, FileUse::Delete);
        EXPECT_EQ(deleting, c.refusal == FileRefusal::OtherNames ? FileRefusal::None : c.refusal);
    }
    // Where the name must have opened: its folder's final path and the name, one backslash.
    EXPECT_EQ(ExpectedFinalPath(L"\\\\?\\C:\\Logs", L"l.txt"), L"\\\\?\\C:\\Logs\\l.txt");
    EXPECT_EQ(ExpectedFinalPath(L"\\\\?\\C:\\", L"l.txt"), L"\\\\?\\C:\\l.txt");
    struct Split {
        const wchar_t* path;
        bool split;
        const wchar_t* folder;
        const wchar_t* name;
    };
    for (const Split& c : {Split{L"C:\\Logs\\l.txt", true, L"C:\\Logs", L"l.txt"}, Split{L"C:\\l.txt", true, L"C:\\", L"l.txt"},
                           Split{L"\\\\?\\C:\\l.txt", true, L"\\\\?\\C:\\", L"l.txt"},
                           Split{L"\\\\server\\share\\l.txt", true, L"\\\\server\\share", L"l.txt"},
                           Split{L"C:\\Logs\\", false, L"", L""}, Split{L"l.txt", false, L"", L""},
                           Split{L"\\l.txt", false, L"", L""}}) {
        std::wstring folder, name;
        EXPECT_EQ(SplitFolderAndName(c.path, folder, name), c.split);
        EXPECT_EQ(folder + L"|" + name, std::wstring(c.folder) + L"|" + c.name);
    }
}

// The user-interface thread may write while the worker writes (a failed wait for the run),
// and close the log while the worker holds text back: every line arrives whole, none lost.
TEST_F(Log, TwoThreadsWritingAtOnceLoseAndTearNoLine) {
    constexpr int kLines = 20000;
    auto writer = [this](wchar_t mark) {
        for (int i = 0; i < kLines; ++i) {
            log.Text(std::wstring(12, mark) + L"\n");
            if (i % 1000 == 0) log.Reopen();
        }
    };
    log.Open(L"l.txt");
    std::thread worker(writer, L'w');
    std::thread interface(writer, L'u');
    for (int i = 0; i < 50; ++i) log.Close(), log.Reopen();
    worker.join();
    interface.join();
    log.Close();
    // Text logged while the log was closed is held back for the next open: none is lost.
    std::string written = file.contents + std::string(log.HeldBack().begin(), log.HeldBack().end());
    size_t lines = 0;
    for (size_t at = 0; at < written.size(); ++lines) {
        size_t end = written.find('\n', at);
        ASSERT_NE(end, std::string::npos);
        std::string line = written.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        ASSERT_TRUE(line == std::string(12, 'w') || line == std::string(12, 'u')) << line;
        at = end + 1;
    }
    EXPECT_EQ(lines, 2u * kLines);
}

TEST_F(Log, ARefusedFileIsNeverWrittenAtTheOpenNorAtTheReopen) {
    log.Text(L"held\n");
    file.refuse = true;
    EXPECT_EQ(log.Open(L"link.txt"), LogOpening::Refused);
    EXPECT_FALSE(log.IsOpen());
    EXPECT_EQ(log.HeldBack(), L"held\n");

    file.refuse = false;  // a file at first; a link put in its place while closed
    EXPECT_EQ(log.Open(L"l.txt"), LogOpening::Opened);
    log.Close();
    file.refuse = true;
    log.Reopen();
    EXPECT_FALSE(log.IsOpen());
    log.Text(L"closing lines\n");
    EXPECT_EQ(file.contents, "held\r\n");
    EXPECT_EQ(log.HeldBack(), L"closing lines\n");
}

TEST_F(Log, AFatalEndWritesWhatIsHeldAndItsLineThenCloses) {
    log.Open(L"l.txt");  // open: the line follows what is there
    log.Text(L"verdict\n");
    log.EndBeforeFatalExit(L"fatal\n");
    EXPECT_EQ(file.contents, "verdict\r\nfatal\r\n");
    EXPECT_FALSE(file.isOpen);

    log.Text(L"while closed\n");  // closed, as while the wizard runs: reopened for appending
    log.EndBeforeFatalExit(L"fatal again\n");
    EXPECT_TRUE(file.opens.back().append);
    EXPECT_EQ(file.contents, "verdict\r\nfatal\r\nwhile closed\r\nfatal again\r\n");
    EXPECT_TRUE(log.HeldBack().empty());
    EXPECT_FALSE(file.isOpen);

    DiagnosticLog unnamed{file, WideEncoder};  // no path given: the text stays held back
    unnamed.Text(L"early\n");
    unnamed.EndBeforeFatalExit(L"fatal\n");
    EXPECT_EQ(unnamed.HeldBack(), L"early\nfatal\n");
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

// The log holds its file's name: naming opens nothing, an open takes the name from there,
// naming it again keeps the file open, another name closes it.
TEST_F(Log, OpensTheFileItIsNamed) {
    log.Text(L"held\n");
    EXPECT_EQ(log.Open(), LogOpening::Failed);  // nothing named: nothing tried
    log.Name(L"c:\\l.txt");
    EXPECT_TRUE(file.opens.empty());
    EXPECT_EQ(log.Open(), LogOpening::Opened);
    log.Name(L"c:\\l.txt");
    EXPECT_EQ(log.Open(), LogOpening::Opened);  // the second pass: kept, not emptied
    ASSERT_EQ(file.opens.size(), 1u);
    EXPECT_EQ(file.opens[0].path, L"c:\\l.txt");
    EXPECT_EQ(file.contents, "held\r\n");
    log.Name(L"c:\\other.txt");
    EXPECT_FALSE(log.IsOpen());
    log.Reopen();
    EXPECT_EQ(file.opens.back().path, L"c:\\other.txt");
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
    LogFatalEnd(L"memory exhausted", 0x8007000e);
    EXPECT_EQ(file.contents, "Started 42 at start-up\r\nafter\r\nEnding at once: memory exhausted (0x8007000e)\r\n");
    EXPECT_FALSE(file.isOpen);

    static MemoryFile other;  // installing another file closes the one open
    InstallLogFile(other, WideEncoder);
    EXPECT_FALSE(file.isOpen);
    EXPECT_FALSE(ProcessLog().IsOpen());
    ReopenLog();  // the last path went with the old file
    EXPECT_TRUE(other.opens.empty());
}

}  // namespace
}  // namespace gr
