// The about box: the product's name with the bootstrapper's version, and its legal notice.
#pragma once

#include <windows.h>

#include <string>

#include "framework/dialog_win.h"

namespace gr {

// Template 100, naming `product`. Reached from the message dialog's system menu, which
// passes itself as `parent` so that the box stays in front of it; `module` (null: the
// program file) holds the template and its texts.
class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(std::wstring product, HWND parent = nullptr, HINSTANCE module = nullptr);

protected:
    // Caption "About <product>", the version line "<product> Version 1.8.2.372" and the
    // notice, whose narrow text is read in the thread's ANSI code page.
    bool OnInitDialog() override;

private:
    std::wstring product_;
};

}  // namespace gr
