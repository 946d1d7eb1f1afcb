#include "wizard/wizard_dialog_win.h"

#include "wizard/dialog_paint_win.h"
#include "wizard/dialog_pages_win.h"
#include "wizard/exit_codes.h"
#include "wizard/install_win.h"
#include "wizard/paths.h"
#include "wizard/resource.h"
#include "wizard/texts.h"

namespace wiz {
namespace {

// Shows each file's name and moves the bar as the install goes.
class DialogProgress final : public InstallProgress {
public:
    DialogProgress(HWND dialog, DialogState& state) : dialog_(dialog), state_(state) {}
    void Writing(const PlannedFile& file, size_t done, size_t count) override {
        ::SetDlgItemTextW(dialog_, IDC_STATUS, (L"Writing " + file.target).c_str());
        SetProgress(dialog_, state_, static_cast<int>(done * 100 / count));
    }

private:
    HWND dialog_;
    DialogState& state_;
};

// Takes the folder typed on the folder page; false, having told the user, when it is not one.
bool TakeFolder(HWND dialog, DialogState& state) {
    FolderCheck check = CheckInstallFolder(ControlText(dialog, IDC_FOLDER));
    if (!check.error.empty()) {
        ::MessageBoxW(dialog, check.error.c_str(), state.title.c_str(), MB_OK | MB_ICONWARNING);
        ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(dialog, IDC_FOLDER)), TRUE);
        return false;
    }
    state.session.folder = check.folder;
    ::SetDlgItemTextW(dialog, IDC_FOLDER, check.folder.c_str());
    return true;
}

void RunInstall(HWND dialog, DialogState& state) {
    ShowPage(dialog, state);
    ::UpdateWindow(dialog);
    DialogProgress progress(dialog, state);
    const WizardSession& session = state.session;
    std::wstring failure = Install(InstallRequest{session.package, session.folder, session.program}, state.log, &progress);
    state.flow.InstallEnded(failure.empty());
    if (failure.empty()) SetProgress(dialog, state, 100);
    ::SetDlgItemTextW(dialog, IDC_STATUS, failure.empty() ? L"Every file is written." : L"The install stopped.");
    std::wstring result = ResultText(failure.empty(), session.package.config.product, session.folder, failure);
    ::SetDlgItemTextW(dialog, IDC_RESULT, result.c_str());
    ShowPage(dialog, state);
}

void End(HWND dialog, const DialogState& state) {
    int code = state.flow.ExitCode();
    if (code == kCancelled) state.log.Line(std::wstring(L"cancelled by the user on the ") + PageName(state.flow.Current()) + L" page");
    ::EndDialog(dialog, code);
}

void OnNext(HWND dialog, DialogState& state) {
    if (state.flow.Current() == Page::Folder && !TakeFolder(dialog, state)) return;
    switch (state.flow.PressNext()) {
    case Action::Moved:
        ShowPage(dialog, state);
        break;
    case Action::StartInstall:
        RunInstall(dialog, state);
        break;
    case Action::End:
        End(dialog, state);
        break;
    case Action::None:
        break;
    }
}

void OnAccept(HWND dialog, DialogState& state) {
    if (state.flow.Current() != Page::Licence) return;
    state.flow.SetAccepted(!state.flow.Accepted());  // a plain check box: the wizard keeps its state
    ::CheckDlgButton(dialog, IDC_ACCEPT, state.flow.Accepted() ? BST_CHECKED : BST_UNCHECKED);
    UpdateButtons(dialog, state);
}

void OnCommand(HWND dialog, DialogState& state, int id) {
    if (id == IDC_NEXT || id == IDOK) OnNext(dialog, state);
    else if (id == IDC_BACK && state.flow.PressBack() == Action::Moved) ShowPage(dialog, state);
    else if (id == IDCANCEL && state.flow.PressCancel() == Action::End) End(dialog, state);
    else if (id == IDC_ACCEPT) OnAccept(dialog, state);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        InitPages(dialog, *reinterpret_cast<DialogState*>(lParam));
        return FALSE;  // the focus is set
    }
    auto* state = reinterpret_cast<DialogState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (!state) return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) OnCommand(dialog, *state, LOWORD(wParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(HeaderBrush(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
    case WM_PAINT:
        PaintHeaderBand(dialog, state->band);
        return TRUE;
    case WM_DRAWITEM:
        DrawProgressBar(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), state->percent);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

int RunWizardDialog(HINSTANCE instance, const WizardSession& session, const WizardLog& log) {
    DialogState state(instance, session, log);
    INT_PTR code = ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_WIZARD), nullptr, DialogProc,
                                     reinterpret_cast<LPARAM>(&state));
    if (code == -1) {
        log.Line(L"the wizard's window could not be made (error " + std::to_wstring(::GetLastError()) + L")");
        return kFailed;
    }
    return static_cast<int>(code);
}

}  // namespace wiz
