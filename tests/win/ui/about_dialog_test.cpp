// The about box against the sample program's resources.
#include "ui/about_dialog_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/win/ui/sample_dialogs.h"

namespace gr {
namespace {

using namespace gr::testing;

struct CodePage {
    const char* name;
    LANGID language;
    const wchar_t* notice;
};

void PrintTo(const CodePage& page, std::ostream* out) { *out << page.name; }

class AboutBox : public SampleDialogs, public ::testing::WithParamInterface<CodePage> {
protected:
    void TearDown() override { ::SetThreadLocale(saved_); }
    LCID saved_ = ::GetThreadLocale();
};

// The caption and version line follow the product name given (the sample's is another);
// the notice's bytes 0xA9 and 0x96
// are read in the thread's code page: the copyright sign and the en dash in the Western
// one, a Thai letter and the en dash in the Thai one.
TEST_P(AboutBox, NamesProductAndVersionAndReadsTheNoticeInTheThreadCodePage) {
    ASSERT_TRUE(::SetThreadLocale(MAKELCID(GetParam().language, SORT_DEFAULT)));
    CAboutDlg about(L"Birchwood", nullptr, module_);
    ASSERT_TRUE(about.Create());
    EXPECT_EQ(about.Title(), L"About Birchwood");
    EXPECT_EQ(about.ControlText(1001), L"Birchwood Version 1.8.2.372");
    EXPECT_EQ(about.ControlText(1002), GetParam().notice);
}

INSTANTIATE_TEST_SUITE_P(
    About, AboutBox,
    ::testing::Values(CodePage{"Western1252", 0x0409, L"\u00A9 2024\u2013" L"2026 GearRack. All rights reserved."},
                      CodePage{"Thai874", 0x041E, L"\u0E09 2024\u2013" L"2026 GearRack. All rights reserved."}),
    [](const ::testing::TestParamInfo<CodePage>& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace gr
