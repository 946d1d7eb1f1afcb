// The message dialog against the sample program's resources (product name "Oakcrest").
#include "ui/message_dialog_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/win/ui/sample_dialogs.h"

namespace gr {
namespace {

using namespace gr::testing;

class MessageDialog : public SampleDialogs {};

TEST_F(MessageDialog, MessageModeShowsOnlyCancelAndAnswersCancel) {
    CGearRackInstallerDlg dialog(L"Oakcrest", false, nullptr, module_);
    dialog.message = L"Oakcrest failed with exit code 0x       5.";
    ModalRun run(dialog);
    HWND window = WaitForWindow(run.ThreadId(), L"Oakcrest");
    ASSERT_NE(window, nullptr) << "no dialog titled with the product name";
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(window, IDOK)));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(window, IDCANCEL)));
    EXPECT_EQ(TextOf(::GetDlgItem(window, IDCANCEL)), L"Cancel");
    EXPECT_EQ(TextOf(::GetDlgItem(window, 1003)), L"Error");
    EXPECT_EQ(TextOf(::GetDlgItem(window, 1000)), dialog.message);
    EXPECT_EQ(PictureSize(::GetDlgItem(window, -1)).cx, 634) << "banner 130 not shown";
    Press(window, IDCANCEL);
    ASSERT_TRUE(run.Ended());
    EXPECT_EQ(run.Code(), IDCANCEL);
}

struct Answer {
    const char* name;
    int button;  // 0: the close box
    INT_PTR code;
    const wchar_t* messageAfter;  // the member once the dialog has ended
};

void PrintTo(const Answer& answer, std::ostream* out) { *out << answer.name; }

class QuestionAnswers : public SampleDialogs, public ::testing::WithParamInterface<Answer> {};

// The message control is edited while the question is up: only Yes reads it back.
TEST_P(QuestionAnswers, YesIsOkAndEverythingElseCancels) {
    CGearRackInstallerDlg dialog(L"Oakcrest", true, nullptr, module_);
    dialog.heading = L"Verification of Oakcrest failed. Do you wish continue?";
    dialog.message = L"shown";
    ModalRun run(dialog);
    HWND window = WaitForWindow(run.ThreadId(), L"Oakcrest");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(window, IDOK)));
    EXPECT_EQ(TextOf(::GetDlgItem(window, IDOK)), L"Yes");
    EXPECT_EQ(TextOf(::GetDlgItem(window, IDCANCEL)), L"No");
    EXPECT_EQ(TextOf(::GetDlgItem(window, 1003)), dialog.heading);
    ::SendMessageW(::GetDlgItem(window, 1000), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"edited"));
    if (GetParam().button)
        Press(window, GetParam().button);
    else
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.Ended());
    EXPECT_EQ(run.Code(), GetParam().code);
    EXPECT_EQ(dialog.message, GetParam().messageAfter);
}

INSTANTIATE_TEST_SUITE_P(Question, QuestionAnswers,
                         ::testing::Values(Answer{"Yes", IDOK, IDOK, L"edited"}, Answer{"No", IDCANCEL, IDCANCEL, L"shown"},
                                           Answer{"CloseBox", 0, IDCANCEL, L"shown"}),
                         [](const ::testing::TestParamInfo<Answer>& tested) { return std::string(tested.param.name); });

// The menu ends with a separator and the about entry, both naming the product given (the
// sample's is another); the entry's command, with low bits
// the system keeps for itself (0x0013), opens the about box in front of the dialog.
TEST_F(MessageDialog, SystemMenuEndsWithTheAboutEntryThatOpensTheAboutBox) {
    CGearRackInstallerDlg dialog(L"Birchwood", false, nullptr, module_);
    ModalRun run(dialog);
    HWND window = WaitForWindow(run.ThreadId(), L"Birchwood");
    ASSERT_NE(window, nullptr);
    HMENU menu = ::GetSystemMenu(window, FALSE);
    int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_NE(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR, 0u);
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), 0x0010u);
    wchar_t entry[64] = L"";
    ::GetMenuStringW(menu, static_cast<UINT>(count - 1), entry, 64, MF_BYPOSITION);
    EXPECT_STREQ(entry, L"&About Birchwood...");

    ::PostMessageW(window, WM_SYSCOMMAND, 0x0013, 0);
    HWND about = WaitForWindow(run.ThreadId(), L"About Birchwood");
    ASSERT_NE(about, nullptr) << "no about box";
    EXPECT_EQ(::GetWindow(about, GW_OWNER), window);
    Press(about, IDOK);
    for (DWORD start = ::GetTickCount(); ::IsWindow(about) && ::GetTickCount() - start < kLimitMs;) ::Sleep(10);
    EXPECT_FALSE(::IsWindow(about));
    EXPECT_TRUE(::IsWindowVisible(window)) << "the message dialog went with the about box";
}

}  // namespace
}  // namespace gr
