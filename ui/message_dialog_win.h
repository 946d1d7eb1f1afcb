// The program's one message dialog: a banner, a bold heading, a wrapping message and a link
// line, with a lone Cancel button for a message or Yes and No for a question. Its system
// menu ends with the about box's entry.
#pragma once

#include <windows.h>

#include <string>

#include "framework/dialog_win.h"
#include "framework/handles_win.h"
#include "ui/static_ex_win.h"
#include "ui/static_link_win.h"

namespace gr {

// Template 102 of `module` (null: the program file), which also holds icon 5 and the about
// entry's text (entry 101); `product` names the caption and the about box. DoModal answers
// IDOK for OK or Yes, IDCANCEL for Cancel, No, Escape or the close box.
class CGearRackInstallerDlg : public CDialog {
public:
    explicit CGearRackInstallerDlg(std::wstring product, bool questionMode = false, HWND parent = nullptr,
                                   HINSTANCE module = nullptr);

    // Set before DoModal; after IDOK they hold what the controls held.
    std::wstring message;            // the wrapping text
    std::wstring heading = L"Error"; // the bold line above it
    std::wstring link;               // the link line, opened as it reads when clicked

protected:
    void DoDataExchange(bool save) override;
    bool OnInitDialog() override;
    // WM_SYSCOMMAND of the about entry, WM_PAINT while minimised, WM_QUERYDRAGICON.
    bool OnMessage(UINT code, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void AppendAboutEntry();
    // Draws the icon centred in the client area; false when not minimised.
    bool PaintMinimised();

    std::wstring product_;
    Icon icon_;
    CStaticEx heading_;
    CStaticLink link_;
    bool questionMode_;
};

}  // namespace gr
