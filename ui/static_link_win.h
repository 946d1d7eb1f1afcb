// A static text that works as a hyperlink: blue and underlined, a hand pointer over it,
// opened with the system's default handler by a click or, when it has the focus, by the
// space bar; purple once something has been opened.
#pragma once

#include <windows.h>

#include <string>

#include "framework/dialog_win.h"
#include "framework/handles_win.h"

namespace gr {

class CStaticLink : public CStatic {
public:
    static constexpr COLORREF kUnvisited = RGB(0, 0, 255);
    static constexpr COLORREF kVisited = RGB(128, 0, 128);

    // `target` is the text to open (null: none, so the control's own texts are tried).
    // With `deleteOnDestroy` the object deletes itself once its window is gone, so it must
    // have been made with new.
    explicit CStaticLink(const wchar_t* target = nullptr, bool deleteOnDestroy = false);

    // Opens, in this order, the target, the string-table entry numbered like the control
    // (from the control's module), then the control's text; the first that opens makes the
    // link visited and is kept as the target. When none opens: the default beep, false.
    bool OpenTarget();

    // WM_CTLCOLORSTATIC and the other colour notifications: a plain text is drawn
    // underlined in the link's colour on a transparent background.
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    // Makes the underlined font the control's own too, as CStaticEx does with its bold one.
    void OnAttach() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void PostNcDestroy() override;

private:
    // Makes the underlined copy of the control's font once; false for a control that is
    // not a plain text, which is not coloured as a link.
    bool MakeUnderlineFont();
    // Inverts a dotted frame 1 pixel around the text (or around a non-text control) in the
    // parent's client area: the second call erases what the first drew.
    void DrawFocusFrame();
    // The rectangle DrawFocusFrame frames, in screen co-ordinates, before enlarging.
    RECT FocusArea();

    std::wstring target_;
    COLORREF colour_ = kUnvisited;
    GdiObject underline_;  // the control's font, underlined; made on first colouring
    bool deleteOnDestroy_;
};

}  // namespace gr
