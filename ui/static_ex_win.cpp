#include "ui/static_ex_win.h"

namespace gr {
namespace {

HFONT CreateBoldFont() {
    LOGFONTW logical = {};
    logical.lfHeight = 14;  // positive: the cell height
    logical.lfWeight = FW_BOLD;
    ::lstrcpynW(logical.lfFaceName, L"Tahoma", LF_FACESIZE);
    return ::CreateFontIndirectW(&logical);
}

}  // namespace

CStaticEx::CStaticEx() : font_(CreateBoldFont()) {}

void CStaticEx::OnAttach() { ::SendMessageW(Window(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE); }

bool CStaticEx::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    bool handled = CStatic::OnChildNotify(message, wParam, lParam, result);
    if (message != WM_CTLCOLORSTATIC) return handled;
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SelectObject(dc, font_.Get());
    ::SetBkMode(dc, TRANSPARENT);
    result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    return true;
}

}  // namespace gr
