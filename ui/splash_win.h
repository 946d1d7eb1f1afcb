// The splash window: the picture that covers the wait until the installer wizard shows its
// own window. No caption, no buttons; the wait loop shows, hides and dismisses it.
#pragma once

#include <windows.h>

#include "framework/dialog_win.h"
#include "framework/handles_win.h"
#include "framework/wait_loop_win.h"

namespace gr {

// Template 131 of `module` (null: the program file), with icon 5 of the same module.
class SplashDlg : public CDialog, public WaitCover {
public:
    explicit SplashDlg(HWND parent = nullptr, HINSTANCE module = nullptr);

    // CDialog::Create makes the window modeless, hidden and centred on the screen.
    bool IsOpen() const override { return Window() != nullptr; }
    void Show() override;
    void Hide() override;
    // Ends the window with code 5; IsOpen is false afterwards. Nothing when not open.
    void Dismiss() override;

protected:
    // Sets the icon as the big and the small window icon.
    bool OnInitDialog() override;

private:
    Icon icon_;
};

}  // namespace gr
