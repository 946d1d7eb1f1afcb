#include "wizard/dialog_paint_win.h"

#include "framework/handles_win.h"
#include "wizard/resource.h"

namespace wiz {

RECT HeaderBand(HWND dialog) {
    RECT band = {0, 0, WIZARD_WIDTH, WIZARD_HEADER_HEIGHT};
    ::MapDialogRect(dialog, &band);
    return band;
}

void PaintHeaderBand(HWND dialog, const RECT& band) {
    gr::PaintDc paint(dialog);
    if (paint.Get()) ::FillRect(paint.Get(), &band, ::GetSysColorBrush(COLOR_WINDOW));
}

HBRUSH HeaderBrush(HWND control, HDC dc) {
    int id = ::GetDlgCtrlID(control);
    if (id != IDC_HEADING && id != IDC_SUBHEADING) return nullptr;
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    return ::GetSysColorBrush(COLOR_WINDOW);
}

void SetHeadingFont(HWND dialog, GdiObject& font) {
    auto base = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW description = {};
    if (!base || !::GetObjectW(base, sizeof(description), &description)) return;
    description.lfWeight = FW_BOLD;
    font.Reset(::CreateFontIndirectW(&description));
    if (font) ::SendDlgItemMessageW(dialog, IDC_HEADING, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
}

void DrawProgressBar(const DRAWITEMSTRUCT& item, int percent) {
    RECT inside = item.rcItem;
    ::DrawEdge(item.hDC, &inside, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    ::FillRect(item.hDC, &inside, ::GetSysColorBrush(COLOR_WINDOW));
    RECT done = inside;
    done.right = inside.left + (inside.right - inside.left) * percent / 100;
    ::FillRect(item.hDC, &done, ::GetSysColorBrush(COLOR_HIGHLIGHT));
}

}  // namespace wiz
