#include "payload/embedded_info_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/log.h"
#include "framework/handles_win.h"
#include "framework/log_file_win.h"

namespace gr {
namespace {

class CapturedLog : public LogFile {
public:
    LogOpening Open(const std::wstring&, bool) override { return LogOpening::Opened; }
    void Write(std::string_view bytes) override { text.append(bytes); }
    void Close() override {}
    std::string text;
};

std::string Ascii(std::wstring_view text) { return std::string(text.begin(), text.end()); }

std::wstring TempName(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// A program file of 5000 bytes whose last bytes carry "MRDC<info/>" and six more bytes.
void WriteProgram(const std::wstring& path) {
    std::string bytes(5000 - 17, 'x');
    bytes += "MRDC<info/>tail.6";
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

TEST(EmbeddedInformation, IsWrittenBesideTheWizardOrItsFailureLogged) {
    static CapturedLog log;
    InstallLogFile(log, Ascii);
    OpenLog(L"captured");
    const std::wstring program = TempName(L"gearrack-info-program.exe");
    const std::wstring output = TempName(L"gearrack-info.xml");
    WriteProgram(program);

    ScanForEmbeddedInformation(program, output);
    EXPECT_NE(log.text.find("Written out embedded information 7 byts to file " + Ascii(output) + "\r\r\n"),
              std::string::npos) << log.text;
    ::DeleteFileW(output.c_str());

    log.text.clear();
    ASSERT_TRUE(::CreateDirectoryW(output.c_str(), nullptr));  // "info.xml" cannot be created
    ScanForEmbeddedInformation(program, output);
    EXPECT_EQ(log.text.find("Written out"), std::string::npos);
    EXPECT_NE(log.text.find("Failed to create temp file " + Ascii(output) + " 5\r\r\n"), std::string::npos)
        << log.text;

    ::RemoveDirectoryW(output.c_str());
    ::DeleteFileW(program.c_str());
    InstallDiskLogFile();
}

}  // namespace
}  // namespace gr
