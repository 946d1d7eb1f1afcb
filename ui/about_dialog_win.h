// The about box: the product's name with the bootstrapper's version, and its legal notice.
#pragma once

#include <windows.h>

#include "framework/dialog_win.h"

namespace gr {

// Template 100. Reached from the message dialog's system menu, which passes itself as
// `parent` so that the box stays in front of it; `module` (null: the program file) holds
// the template and the product name.
class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(HWND parent = nullptr, HINSTANCE module = nullptr);

protected:
    // Caption "About <product>", the version line "<product> Version 1.8.2.372" and the
    // notice, whose narrow text is read in the thread's ANSI code page.
    bool OnInitDialog() override;
};

}  // namespace gr
