#include "framework/dialog_win.h"

namespace gr {
namespace {

// The whole text of `window`; empty for no window.
std::wstring WindowText(HWND window) {
    if (!window) return std::wstring();
    int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

}  // namespace

CDialog::CDialog(UINT templateId, HWND parent, HINSTANCE module)
    : templateId_(templateId), parent_(parent), module_(module) {}

CDialog::~CDialog() {
    // Only a modeless window can outlive its run; destroying it here leaves no window
    // pointing at a dead object.
    if (window_ && !modal_) ::DestroyWindow(window_);
}

HINSTANCE CDialog::Module() const { return module_ ? module_ : ::GetModuleHandleW(nullptr); }

INT_PTR CDialog::DoModal() {
    modal_ = true;
    endCode_ = 0;
    INT_PTR code = ::DialogBoxParamW(Module(), MAKEINTRESOURCEW(templateId_), parent_, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return code;
}

bool CDialog::Create() {
    modal_ = false;
    endCode_ = 0;
    return ::CreateDialogParamW(Module(), MAKEINTRESOURCEW(templateId_), parent_, DialogProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(INT_PTR code) {
    endCode_ = code;
    if (!window_) return;
    if (modal_)
        ::EndDialog(window_, code);
    else
        ::DestroyWindow(window_);  // clears window_ through WM_NCDESTROY
}

HWND CDialog::Control(int id) const { return window_ ? ::GetDlgItem(window_, id) : nullptr; }

std::wstring CDialog::ControlText(int id) const { return WindowText(Control(id)); }

void CDialog::SetControlText(int id, const std::wstring& text) {
    if (window_) ::SetDlgItemTextW(window_, id, text.c_str());
}

std::wstring CDialog::Title() const { return WindowText(window_); }

void CDialog::SetTitle(const std::wstring& title) {
    if (window_) ::SetWindowTextW(window_, title.c_str());
}

bool CDialog::OnInitDialog() {
    DoDataExchange(false);
    return true;
}

void CDialog::DoDataExchange(bool) {}

void CDialog::OnOK() {
    DoDataExchange(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnCommand(int id, int, HWND) {
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        dialog->window_ = window;
    }
    // Messages that come before WM_INITDIALOG (WM_SETFONT and the like) have no object yet.
    auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (!dialog) return FALSE;
    INT_PTR result = dialog->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        dialog->window_ = nullptr;
    }
    return result;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    if (OnMessage(message, wParam, lParam, result)) return result;
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

}  // namespace gr
