#include "framework/log_file_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/handles_win.h"

namespace gr {
namespace {

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::wstring(folder) + L"gearrack-log-" + std::wstring(test->name(), test->name() + std::strlen(test->name())) + L".txt";
        InstallDiskLogFile();
        OpenLog(path_);  // takes what earlier tests left held back
        CloseLog();
        ::DeleteFileW(path_.c_str());
    }
    void TearDown() override {
        CloseLog();
        ::DeleteFileW(path_.c_str());
    }
    std::string Contents() const {
        FileHandle file(::CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        std::string data;
        char buffer[4096];
        DWORD read = 0;
        while (file && ::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) data.append(buffer, read);
        return data;
    }
    std::wstring path_;
};

TEST_F(LogFileTest, IsHeldForThisProcessAloneAndWrittenAsText) {
    OpenLog(path_);
    LogText(L"one %d\n");
    LogFormat(L"%d and %s\r\n", int32_t{5}, L"x");
    FileHandle other(::CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(other);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseLog();
    EXPECT_EQ(Contents(), "one %d\r\n5 and x\r\r\n");
}

TEST_F(LogFileTest, ReopenAppendsAndOpenEmpties) {
    OpenLog(path_);
    LogText(L"before the wizard\n");
    CloseLog();
    LogText(L"while the wizard runs\n");  // held back, not lost
    ReopenLog();
    LogText(L"after the wizard\n");
    CloseLog();
    EXPECT_EQ(Contents(), "before the wizard\r\nafter the wizard\r\n");
    OpenLog(path_);
    CloseLog();
    EXPECT_EQ(Contents(), "while the wizard runs\r\n");
}

// Whoever can write the log's folder must not make the program write into another file.
TEST_F(LogFileTest, ALinkInTheLogsPlaceIsRefusedAndLeftUntouchedAFolderIsNotOpened) {
    const std::wstring target = path_ + L".target";
    const std::string precious = "precious\r\n";
    {
        FileHandle file(::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.Get(), precious.data(), static_cast<DWORD>(precious.size()), &written, nullptr));
    }
    ASSERT_TRUE(::CreateHardLinkW(path_.c_str(), target.c_str(), nullptr));
    LogText(L"held\n");
    EXPECT_EQ(OpenLog(path_), LogOpening::Refused);  // at the first open: not emptied
    EXPECT_FALSE(ProcessLog().IsOpen());
    EXPECT_EQ(Contents(), precious);

    ::DeleteFileW(path_.c_str());
    EXPECT_EQ(OpenLog(path_), LogOpening::Opened);
    LogText(L"before the wizard\n");
    CloseLog();
    ::DeleteFileW(path_.c_str());  // the wizard's turn: a link put in the log's place
    ASSERT_TRUE(::CreateHardLinkW(path_.c_str(), target.c_str(), nullptr));
    ReopenLog();
    EXPECT_FALSE(ProcessLog().IsOpen());
    LogText(L"closing lines\n");
    CloseLog();
    EXPECT_EQ(Contents(), precious);
    ::DeleteFileW(path_.c_str());
    ::DeleteFileW(target.c_str());

    // A folder cannot be opened as a file: not refused, merely not opened (the run goes on).
    ASSERT_TRUE(::CreateDirectoryW(path_.c_str(), nullptr));
    EXPECT_EQ(OpenLog(path_), LogOpening::Failed);
    ::RemoveDirectoryW(path_.c_str());
    EXPECT_EQ(OpenLog(path_ + L".missing\\x.txt"), LogOpening::Failed);  // only missing: silent
}

TEST_F(LogFileTest, LongTextPassesThroughTheBufferWhole) {
    OpenLog(path_);
    std::wstring line(1000, L'x');
    line += L'\n';
    for (int i = 0; i < 50; ++i) LogText(line);
    CloseLog();
    EXPECT_EQ(Contents().size(), 50u * 1002u);
}

TEST_F(LogFileTest, TextIsInTheThreadsAnsiCodePage) {
    OpenLog(path_);
    LCID original = ::GetThreadLocale();
    LogText(L"caf\u00e9 \u0436\n");  // é is in code page 1252, the Cyrillic letter is not
    ::SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT));
    LogText(L"\u65e5\u672c\n");  // two characters of two bytes each in code page 932
    ::SetThreadLocale(original);
    CloseLog();
    std::string expected = ::GetACP() == 1252 ? "caf\xe9 ?\r\n" : "";
    std::string data = Contents();
    if (!expected.empty()) {
        EXPECT_EQ(data.substr(0, expected.size()), expected);
    }
    EXPECT_EQ(data.substr(data.size() - 6), "\x93\xfa\x96\x7b\r\n");
}

}  // namespace
}  // namespace gr
