#include "framework/dialog_win.h"

#include <algorithm>

namespace gr {
namespace {

// The window property that leads from a control window to its CStatic object.
constexpr wchar_t kControlObject[] = L"GearRack.Control";

// Centres `window` on its owner, or on the screen's work area when it has no visible
// owner, keeping it inside the work area.
void CentreWindow(HWND window) {
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT area = work;
    HWND owner = ::GetWindow(window, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &area);
    RECT own = {};
    ::GetWindowRect(window, &own);
    LONG width = own.right - own.left;
    LONG height = own.bottom - own.top;
    LONG x = area.left + (area.right - area.left - width) / 2;
    LONG y = area.top + (area.bottom - area.top - height) / 2;
    x = std::max(work.left, std::min(x, work.right - width));
    y = std::max(work.top, std::min(y, work.bottom - height));
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A WM_CTLCOLOR* notification handed to the object of the control it is about: the
// brush that object answers, or FALSE for the standard colours.
INT_PTR ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam) {
    CStatic* control = CStatic::FromWindow(reinterpret_cast<HWND>(lParam));
    LRESULT brush = 0;
    if (!control || !control->OnChildNotify(message, wParam, lParam, brush)) return FALSE;
    return static_cast<INT_PTR>(brush);
}

}  // namespace

std::wstring WindowText(HWND window) {
    if (!window) return std::wstring();
    int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

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

void CDialog::Exchange(bool save, int id, std::wstring& text) {
    if (save)
        text = ControlText(id);
    else
        SetControlText(id, text);
}

bool CDialog::InitDialog() {
    RECT before = {};
    ::GetWindowRect(window_, &before);
    bool focusDefault = OnInitDialog();
    if (!window_) return focusDefault;  // ended during its initialisation
    RECT after = {};
    ::GetWindowRect(window_, &after);
    bool hidden = (::GetWindowLongW(window_, GWL_STYLE) & WS_VISIBLE) == 0;
    if (hidden && after.left == before.left && after.top == before.top) CentreWindow(window_);
    return focusDefault;
}

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
        return InitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return ReflectToControl(message, wParam, lParam);
    default:
        return FALSE;
    }
}

CStatic::~CStatic() { Detach(); }

bool CStatic::Attach(HWND control) {
    if (window_) return window_ == control;
    if (!control || FromWindow(control) || !::SetPropW(control, kControlObject, this)) return false;
    window_ = control;
    original_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CStatic::WindowProc)));
    OnAttach();
    return true;
}

void CStatic::Detach() {
    if (!window_) return;
    ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    ::RemovePropW(window_, kControlObject);
    window_ = nullptr;
}

CStatic* CStatic::FromWindow(HWND control) {
    return control ? static_cast<CStatic*>(::GetPropW(control, kControlObject)) : nullptr;
}

bool CStatic::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool CStatic::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT CStatic::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(original_, window_, message, wParam, lParam);
}

LRESULT CALLBACK CStatic::WindowProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    CStatic* object = FromWindow(control);
    if (!object) return ::DefWindowProcW(control, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The control is given its own procedure back before it goes, so that nothing
        // after this reaches the object.
        WNDPROC original = object->original_;
        object->Detach();
        LRESULT result = ::CallWindowProcW(original, control, message, wParam, lParam);
        object->PostNcDestroy();
        return result;
    }
    LRESULT result = 0;
    if (object->OnMessage(message, wParam, lParam, result)) return result;
    return object->Default(message, wParam, lParam);
}

}  // namespace gr
