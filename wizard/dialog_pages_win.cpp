#include "wizard/dialog_pages_win.h"

#include "wizard/resource.h"
#include "wizard/texts.h"

namespace wiz {
namespace {

// The page whose controls include `id`, or -1 for a control on every page.
int PageOfControl(int id) {
    int page = (id - WIZARD_PAGE_FIRST_ID) / WIZARD_PAGE_IDS;
    return id >= WIZARD_PAGE_FIRST_ID && page <= static_cast<int>(Page::Progress) ? page : -1;
}

std::wstring LicenceText(HINSTANCE instance) {
    wchar_t* text = nullptr;  // points into the resource itself
    int length = ::LoadStringW(instance, IDS_LICENCE, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

void SetText(HWND dialog, int id, const std::wstring& text) {
    ::SetDlgItemTextW(dialog, id, text.c_str());
}

// The control that should have the focus on the current page.
int FocusFor(const DialogState& state) {
    Buttons buttons = state.flow.Available();
    if (state.flow.Current() == Page::Licence && !state.flow.Accepted()) return IDC_ACCEPT;
    if (buttons.next) return IDC_NEXT;
    return buttons.back ? IDC_BACK : 0;
}

}  // namespace

void InitPages(HWND dialog, DialogState& state) {
    const WizardConfig& config = state.session.package.config;
    state.title = WindowTitle(config.product, state.session.program);
    ::SetWindowTextW(dialog, state.title.c_str());
    state.band = HeaderBand(dialog);
    SetHeadingFont(dialog, state.headingFont);
    SetText(dialog, IDC_WELCOME_TEXT, WelcomeText(config.product, config.version, state.session.program));
    SetText(dialog, IDC_LICENCE_TEXT, LicenceText(state.instance));
    SetText(dialog, IDC_FOLDER, state.session.folder);
    SetText(dialog, IDC_COMPONENTS, ComponentsText(state.session.package.items));
    ShowPage(dialog, state);
    ::SetForegroundWindow(dialog);
}

void ShowPage(HWND dialog, DialogState& state) {
    int current = static_cast<int>(state.flow.Current());
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        int page = PageOfControl(::GetDlgCtrlID(child));
        if (page >= 0) ::ShowWindow(child, page == current ? SW_SHOWNA : SW_HIDE);
    }
    Heading heading = PageHeading(state.flow, state.session.package.config.product, state.session.program);
    SetText(dialog, IDC_HEADING, heading.title);
    SetText(dialog, IDC_SUBHEADING, heading.subtitle);
    UpdateButtons(dialog, state);
    if (state.loggedPage != current) state.log.Line(std::wstring(L"page ") + PageName(state.flow.Current()));
    state.loggedPage = current;
}

void UpdateButtons(HWND dialog, const DialogState& state) {
    Buttons buttons = state.flow.Available();
    int focus = FocusFor(state);
    if (focus != 0) ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(dialog, focus)), TRUE);
    ::EnableWindow(::GetDlgItem(dialog, IDC_BACK), buttons.back);
    ::EnableWindow(::GetDlgItem(dialog, IDC_NEXT), buttons.next);
    ::EnableWindow(::GetDlgItem(dialog, IDCANCEL), buttons.cancel);
    ::SetDlgItemTextW(dialog, IDC_NEXT, CaptionText(buttons.caption));
}

void SetProgress(HWND dialog, DialogState& state, int percent) {
    state.percent = percent;
    HWND bar = ::GetDlgItem(dialog, IDC_PROGRESS);
    ::InvalidateRect(bar, nullptr, TRUE);
    ::UpdateWindow(bar);
}

std::wstring ControlText(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace wiz
