// The dialog base and the working folder prompt, run against the sample program's own
// resources (template 146 and the product name "Oakcrest"). Modal dialogs run on a worker
// thread, as the prompt does in the program; this thread plays the user.
#include "framework/dialog_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cwchar>
#include <string>

#include "framework/handles_win.h"
#include "framework/log_file_win.h"
#include "payload/temp_folder_prompt_win.h"

namespace gr {
namespace {

constexpr DWORD kLimitMs = 10000;
constexpr uint32_t kFail = 0x80004005;

BOOL CALLBACK FirstVisible(HWND window, LPARAM found) {
    if (!::IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The first visible window of `thread`, polled for; null when none came in time.
HWND WaitForWindowOf(DWORD thread) {
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < kLimitMs; ::Sleep(10)) {
        HWND found = nullptr;
        ::EnumThreadWindows(thread, FirstVisible, reinterpret_cast<LPARAM>(&found));
        if (found) return found;
    }
    return nullptr;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = L"";
    ::GetWindowTextW(window, text, 256);
    return text;
}

// The focused window of `thread` and the selection of `edit`, packed as EM_GETSEL does.
HWND FocusOf(DWORD thread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}
DWORD Selection(HWND edit) { return static_cast<DWORD>(::SendMessageW(edit, EM_GETSEL, 0, 0)); }

void Post(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// Pumps this thread's messages until `dialog` has no window, within the limit.
bool PumpUntilGone(const CDialog& dialog) {
    for (DWORD start = ::GetTickCount(); dialog.Window() && ::GetTickCount() - start < kLimitMs;) {
        MSG message;
        if (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!::IsDialogMessageW(dialog.Window(), &message)) ::DispatchMessageW(&message);
        } else {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return dialog.Window() == nullptr;
}

// The sample program's resources, loaded as data.
class SampleModule : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = ::LoadLibraryExW(GEARRACK_SAMPLE_PROGRAM, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() { ::FreeLibrary(module_); }
    void SetUp() override { ASSERT_NE(module_, nullptr) << "cannot load " << GEARRACK_SAMPLE_PROGRAM; }
    static HMODULE module_;
};
HMODULE SampleModule::module_ = nullptr;

// Tests that show windows: without a display Wine makes none, which is said at once
// rather than after every wait has run out.
class SampleDialogs : public SampleModule {
protected:
    void SetUp() override {
        SampleModule::SetUp();
        HWND probe = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(probe, nullptr) << "no window can be made: run the Win32 tests with a display (xvfb-run -a ctest ...)";
        ::DestroyWindow(probe);
    }
};

// Template 146 as the user sees it: the size, and each control with its place in dialog
// units, class, text and style, in tab order.
TEST_F(SampleDialogs, TempFolderTemplateHoldsItsFiveControlsInOrder) {
    CTempFolderDialog dialog(module_);
    ASSERT_TRUE(dialog.Create());
    RECT size = {0, 0, 318, 76};
    ::MapDialogRect(dialog.Window(), &size);
    RECT client = {};
    ::GetClientRect(dialog.Window(), &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    LONG style = ::GetWindowLongW(dialog.Window(), GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME), WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    struct Control {
        int id;
        const wchar_t* className;
        const wchar_t* text;
        RECT place;  // left, top, width, height in dialog units
        LONG style;  // bits that must be set
    } const expected[] = {
        {IDOK, L"Button", L"OK", {205, 55, 50, 14}, BS_DEFPUSHBUTTON | WS_TABSTOP},
        {IDCANCEL, L"Button", L"Cancel", {261, 55, 50, 14}, WS_TABSTOP},
        {-1, L"Static", L"Enter Drive leter for temporary folder:", {17, 17, 127, 8}, 0},
        {1005, L"Edit", L"", {145, 15, 80, 14}, ES_AUTOHSCROLL | WS_TABSTOP},
        {-1, L"Static", L"(eg. C:)", {17, 27, 26, 8}, 0},
    };
    HWND control = ::GetWindow(dialog.Window(), GW_CHILD);
    for (const Control& want : expected) {
        SCOPED_TRACE(testing::Message() << "control text: " << std::string(want.text, want.text + wcslen(want.text)));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(static_cast<int16_t>(::GetDlgCtrlID(control)), want.id);
        wchar_t className[32] = L"";
        ::GetClassNameW(control, className, 32);
        EXPECT_EQ(::lstrcmpiW(className, want.className), 0);
        EXPECT_EQ(TextOf(control), want.text);
        EXPECT_EQ(::GetWindowLongW(control, GWL_STYLE) & want.style, want.style);
        RECT place = want.place;  // position and size are scaled each on its own
        ::MapDialogRect(dialog.Window(), &place);
        RECT actual = {};
        ::GetWindowRect(control, &actual);
        ::MapWindowPoints(nullptr, dialog.Window(), reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, place.left);
        EXPECT_EQ(actual.top, place.top);
        EXPECT_EQ(actual.right - actual.left, place.right);
        EXPECT_EQ(actual.bottom - actual.top, place.bottom);
        control = ::GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr) << "more controls than five";
    HWND edit = dialog.Control(1005);  // a border, plain or three-dimensional
    EXPECT_TRUE((::GetWindowLongW(edit, GWL_STYLE) & WS_BORDER) || (::GetWindowLongW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
}

TEST_F(SampleDialogs, TempFolderDialogOpensWithTitleFolderFocusAndWholeSelection) {
    for (const wchar_t* folder : {L"C:\\Scratch folder", L""}) {
        CTempFolderDialog dialog(module_);
        dialog.caption = L"Pick a root";
        dialog.folder = folder;
        ASSERT_TRUE(dialog.Create());
        EXPECT_EQ(dialog.Title(), L"Pick a root");
        EXPECT_EQ(dialog.ControlText(1005), folder);
        EXPECT_EQ(FocusOf(::GetCurrentThreadId()), dialog.Control(1005));
        DWORD length = static_cast<DWORD>(wcslen(folder));
        EXPECT_EQ(Selection(dialog.Control(1005)), MAKELONG(0, length)) << "folder length " << length;
    }
}

TEST_F(SampleDialogs, ModelessOkSavesTheEditedFolderAndCancelKeepsIt) {
    CTempFolderDialog accepted(module_);
    accepted.folder = L"C:\\";
    ASSERT_TRUE(accepted.Create());
    HWND window = accepted.Window();
    accepted.SetControlText(1005, L"D:");
    Post(window, IDOK);
    ASSERT_TRUE(PumpUntilGone(accepted));
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(accepted.EndCode(), IDOK);
    EXPECT_EQ(accepted.folder, L"D:");

    CTempFolderDialog cancelled(module_);
    cancelled.folder = L"C:\\";
    ASSERT_TRUE(cancelled.Create());
    cancelled.SetControlText(1005, L"D:");
    ::PostMessageW(cancelled.Window(), WM_CLOSE, 0, 0);  // the close box cancels
    ASSERT_TRUE(PumpUntilGone(cancelled));
    EXPECT_EQ(cancelled.EndCode(), IDCANCEL);
    EXPECT_EQ(cancelled.folder, L"C:\\");
}

TEST_F(SampleDialogs, ModelessWindowEndsWithItsObject) {
    HWND window = nullptr;
    {
        CTempFolderDialog dialog(module_);
        ASSERT_TRUE(dialog.Create());
        window = dialog.Window();
        ASSERT_TRUE(::IsWindow(window));
    }
    EXPECT_FALSE(::IsWindow(window));
}

// A subclass's hooks come first: its own command ends the modal run with its own code, and
// a message it swallows never reaches the standard handling.
class CodedDialog : public CDialog {
public:
    explicit CodedDialog(HINSTANCE module) : CDialog(146, nullptr, module) {}

protected:
    bool OnCommand(int id, int notification, HWND control) override {
        if (id != 1234) return CDialog::OnCommand(id, notification, control);
        EndDialog(42);
        return true;
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) override {
        if (message != WM_COMMAND || LOWORD(wParam) != IDCANCEL) return false;
        result = TRUE;
        return true;
    }
};

struct ModalRun {
    CodedDialog* dialog;
    INT_PTR code = 0;
    static DWORD WINAPI Main(void* parameter) {
        auto* run = static_cast<ModalRun*>(parameter);
        run->code = run->dialog->DoModal();
        return 0;
    }
};

TEST_F(SampleDialogs, ModalRunReturnsTheCodeItEndedWith) {
    CodedDialog dialog(module_);
    ModalRun run{&dialog};
    DWORD threadId = 0;
    Handle thread(::CreateThread(nullptr, 0, ModalRun::Main, &run, 0, &threadId));
    ASSERT_TRUE(thread);
    HWND window = WaitForWindowOf(threadId);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TextOf(window), L"Dialog");  // the template's own title, kept by the base
    Post(window, IDCANCEL);                // swallowed; otherwise the run would end with 2
    Post(window, 1234);
    ASSERT_EQ(::WaitForSingleObject(thread.Get(), kLimitMs), WAIT_OBJECT_0);
    EXPECT_EQ(run.code, 42);
    EXPECT_EQ(dialog.Window(), nullptr);
}

TEST(Dialog, MissingTemplateShowsNothingAndFails) {
    CDialog dialog(146, nullptr);  // the test program carries no dialog template
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(dialog.Create());
    EXPECT_EQ(dialog.Window(), nullptr);

    std::atomic<int32_t> prompts{0};
    std::wstring root = L"C:\\";
    EXPECT_EQ(PromptForTempFolder(nullptr, L"Birchwood", false, prompts, 0, root), kFail);
    EXPECT_EQ(root, L"C:\\");
    EXPECT_EQ(prompts, 0);
}

// PromptForTempFolder on a worker thread, as the run sequence calls it.
struct PromptRun {
    PromptRun(HINSTANCE shownFrom, bool silentMode) : module(shownFrom), silent(silentMode) {}
    HINSTANCE module;
    bool silent;
    std::atomic<int32_t> prompts{0};
    std::wstring root = L"C:\\Scratch folder";
    uint32_t result = 0x12345678;
    DWORD follower = 0;  // the thread told of each change of `prompts`
    DWORD threadId = 0;
    Handle thread;

    bool Start() {
        thread.Reset(::CreateThread(nullptr, 0, Main, this, 0, &threadId));
        return static_cast<bool>(thread);
    }
    bool Finished() { return ::WaitForSingleObject(thread.Get(), kLimitMs) == WAIT_OBJECT_0; }
    static DWORD WINAPI Main(void* parameter) {
        auto* run = static_cast<PromptRun*>(parameter);
        run->result = PromptForTempFolder(run->module, L"Birchwood", run->silent, run->prompts, run->follower, run->root);
        return 0;
    }
};

// Takes the WM_NULL messages posted to this thread (not to a window) and counts them.
int TakeWakeUps() {
    int count = 0;
    MSG message;
    while (::PeekMessageW(&message, reinterpret_cast<HWND>(-1), WM_NULL, WM_NULL, PM_REMOVE)) ++count;
    return count;
}

struct Answer {
    const char* name;
    const wchar_t* typed;  // null: the text is left as shown
    UINT message;          // WM_COMMAND with `button`, or WM_CLOSE
    int button;
    uint32_t result;
    const wchar_t* root;
};

void PrintTo(const Answer& answer, std::ostream* out) { *out << answer.name; }

class PromptAnswers : public SampleDialogs, public ::testing::WithParamInterface<Answer> {};

TEST_P(PromptAnswers, SetTheRootOnlyOnOk) {
    const Answer& answer = GetParam();
    PromptRun run(module_, false);
    TakeWakeUps();  // also gives this thread its queue, which the prompt posts to
    run.follower = ::GetCurrentThreadId();
    ASSERT_TRUE(run.Start());
    HWND window = WaitForWindowOf(run.threadId);
    ASSERT_NE(window, nullptr) << "no prompt appeared";
    EXPECT_EQ(run.prompts, 1);
    EXPECT_EQ(TakeWakeUps(), 1);  // the wait loop must see the count change, or the splash stays put
    EXPECT_EQ(TextOf(window), L"Birchwood");  // the caption given, not the sample's product
    HWND edit = ::GetDlgItem(window, 1005);
    EXPECT_EQ(TextOf(edit), L"C:\\Scratch folder");
    EXPECT_EQ(FocusOf(run.threadId), edit);
    EXPECT_EQ(Selection(edit), MAKELONG(0, 17));
    if (answer.typed) ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer.typed));
    if (answer.message == WM_CLOSE)
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    else
        Post(window, answer.button);
    ASSERT_TRUE(run.Finished());
    EXPECT_EQ(run.result, answer.result);
    EXPECT_EQ(run.root, answer.root);
    EXPECT_EQ(run.prompts, 0);
    EXPECT_EQ(TakeWakeUps(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Prompt, PromptAnswers,
    ::testing::Values(Answer{"OkTakesABareDrive", L"D:", WM_COMMAND, IDOK, 0, L"D:"},
                      Answer{"OkTakesTheTextAsShown", nullptr, WM_COMMAND, IDOK, 0, L"C:\\Scratch folder"},
                      Answer{"OkTakesAnEmptyText", L"", WM_COMMAND, IDOK, 0, L""},
                      Answer{"OkTakesTextUnchecked", L" not a path?* ", WM_COMMAND, IDOK, 0, L" not a path?* "},
                      Answer{"CancelKeepsTheRoot", L"E:\\other", WM_COMMAND, IDCANCEL, kFail, L"C:\\Scratch folder"},
                      Answer{"CloseKeepsTheRoot", L"E:\\other", WM_CLOSE, 0, kFail, L"C:\\Scratch folder"}),
    [](const ::testing::TestParamInfo<Answer>& tested) { return std::string(tested.param.name); });

class PromptLog : public SampleModule {
protected:
    void SetUp() override {
        SampleModule::SetUp();
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        path_ = std::wstring(folder) + L"gearrack-log-prompt.txt";
        InstallDiskLogFile();
        OpenLog(path_);  // takes what earlier tests left held back
        CloseLog();
        OpenLog(path_);
    }
    void TearDown() override {
        CloseLog();
        ::DeleteFileW(path_.c_str());
    }
    std::string Contents() {
        CloseLog();
        FileHandle file(::CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        char buffer[512];
        DWORD read = 0;
        return file && ::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) ? std::string(buffer, read) : "";
    }
    std::wstring path_;
};

TEST_F(PromptLog, SilentModeShowsNothingAndLogsWhy) {
    PromptRun run(module_, true);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.Finished()) << "a prompt was shown in silent mode";
    EXPECT_EQ(run.result, kFail);
    EXPECT_EQ(run.root, L"C:\\Scratch folder");
    EXPECT_EQ(run.prompts, 0);
    EXPECT_EQ(Contents(), "Not Prompting the user as silent installation\r\n");
}

}  // namespace
}  // namespace gr
