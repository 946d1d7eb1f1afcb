#include "ui/static_link_win.h"

#include <shellapi.h>

#include "framework/string_table_win.h"
#include "ui/static_styles.h"

namespace gr {
namespace {

// The system's hand pointer: a shared cursor, which the system owns and nobody destroys;
// null when it cannot be loaded.
HCURSOR HandCursor() {
    return ::LoadCursorW(nullptr, IDC_HAND);
}

// A device context of a window, with the font it had before `font` was selected (when
// one is) put back on release.
class WindowDc {
public:
    explicit WindowDc(HWND window, HGDIOBJ font = nullptr) : window_(window), dc_(::GetDC(window)) {
        if (dc_ && font) previous_ = ::SelectObject(dc_, font);
    }
    ~WindowDc() {
        if (!dc_) return;
        if (previous_) ::SelectObject(dc_, previous_);
        ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

// Opens `text` with its default handler; an empty text opens nothing.
bool ShellOpen(const std::wstring& text) {
    if (text.empty()) return false;
    HINSTANCE opened = ::ShellExecuteW(nullptr, L"open", text.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<UINT_PTR>(opened) > 32;
}

uint32_t StyleOf(HWND window) { return static_cast<uint32_t>(::GetWindowLongW(window, GWL_STYLE)); }

}  // namespace

CStaticLink::CStaticLink(const wchar_t* target, bool deleteOnDestroy)
    : target_(target ? target : L""), deleteOnDestroy_(deleteOnDestroy) {}

bool CStaticLink::OpenTarget() {
    bool opened = ShellOpen(target_);
    if (!opened && Window()) {  // the control's entry and text, once it has a window
        auto module = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(Window(), GWLP_HINSTANCE));
        std::wstring entry = LoadStringResource(module, static_cast<UINT>(::GetDlgCtrlID(Window())));
        if (!entry.empty()) {
            target_ = entry;
            opened = ShellOpen(target_);
        }
    }
    if (!opened && Window()) {
        target_ = WindowText(Window());
        opened = ShellOpen(target_);
    }
    if (!opened) {
        ::MessageBeep(0);
        return false;
    }
    colour_ = kVisited;
    if (Window()) ::InvalidateRect(Window(), nullptr, TRUE);  // null would redraw every window
    return true;
}

bool CStaticLink::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC)
        return CStatic::OnChildNotify(message, wParam, lParam, result);
    if (!MakeUnderlineFont()) return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SelectObject(dc, underline_.Get());
    ::SetTextColor(dc, colour_);
    ::SetBkMode(dc, TRANSPARENT);
    result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    return true;
}

bool CStaticLink::MakeUnderlineFont() {
    if (!ColoursAsLink(StyleOf(Window()))) return false;
    if (underline_) return true;
    LOGFONTW logical = {};
    auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(Window(), WM_GETFONT, 0, 0));
    if (font) ::GetObjectW(font, sizeof(logical), &logical);
    logical.lfUnderline = TRUE;
    underline_.Reset(::CreateFontIndirectW(&logical));
    return true;
}

void CStaticLink::OnAttach() {
    if (MakeUnderlineFont())
        ::SendMessageW(Window(), WM_SETFONT, reinterpret_cast<WPARAM>(underline_.Get()), FALSE);
}

bool CStaticLink::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_NCHITTEST:  // a static is otherwise transparent to the mouse
        result = HTCLIENT;
        return true;
    case WM_SETCURSOR: {
        HCURSOR hand = HandCursor();
        if (hand) ::SetCursor(hand);
        result = hand ? TRUE : FALSE;
        return true;
    }
    case WM_GETDLGCODE:  // typed characters come to the focused link
        result = DLGC_WANTCHARS;
        return true;
    case WM_CHAR:
        if (wParam == L' ') OpenTarget();
        return true;
    case WM_LBUTTONUP:
        OpenTarget();
        return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        DrawFocusFrame();
        result = Default(message, wParam, lParam);
        return true;
    default:
        return false;
    }
}

void CStaticLink::PostNcDestroy() {
    if (deleteOnDestroy_) delete this;
}

RECT CStaticLink::FocusArea() {
    RECT area = {};
    uint32_t style = StyleOf(Window());
    if (!FramesText(style)) {
        ::GetWindowRect(Window(), &area);
        return area;
    }
    std::wstring text = WindowText(Window());
    {
        WindowDc dc(Window(), reinterpret_cast<HGDIOBJ>(::SendMessageW(Window(), WM_GETFONT, 0, 0)));
        ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &area, DT_CALCRECT);
    }
    RECT client = {};
    ::GetClientRect(Window(), &client);
    ::OffsetRect(&area, TextShift(style, client.right, area.right - area.left), 0);
    ::MapWindowPoints(Window(), nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

void CStaticLink::DrawFocusFrame() {
    HWND parent = ::GetParent(Window());
    if (!parent) return;
    RECT frame = FocusArea();
    ::InflateRect(&frame, 1, 1);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&frame), 2);
    WindowDc dc(parent);
    ::DrawFocusRect(dc.Get(), &frame);
}

}  // namespace gr
