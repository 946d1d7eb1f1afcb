// Our small application framework's dialog: one object per dialog window, made from a
// dialog template in a module's resources, run modally or modelessly. The window finds its
// object through the pointer stored in its DWLP_USER slot when WM_INITDIALOG arrives.
#pragma once

#include <windows.h>

#include <string>

namespace gr {

class CDialog {
public:
    // `templateId` names the dialog template in `module`; a null `module` means the
    // process's program file. `parent` may be null.
    CDialog(UINT templateId, HWND parent, HINSTANCE module = nullptr);
    // Destroys a modeless window still open.
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally on the calling thread. Returns the code given to EndDialog,
    // or -1 when the window could not be made.
    INT_PTR DoModal();
    // Makes the dialog as a modeless window (shown when its template says WS_VISIBLE).
    // False when the window could not be made. The caller's message loop drives it.
    bool Create();
    // Ends the dialog with `code`: a modal one returns it from DoModal; a modeless one is
    // destroyed and keeps the code for EndCode.
    void EndDialog(INT_PTR code);

    // The dialog window; null before it is made and after it is gone.
    HWND Window() const { return window_; }
    // The code the dialog ended with, 0 while it has not ended.
    INT_PTR EndCode() const { return endCode_; }

    // A control's window, or null when the dialog has no control `id`.
    HWND Control(int id) const;
    std::wstring ControlText(int id) const;
    void SetControlText(int id, const std::wstring& text);
    std::wstring Title() const;
    void SetTitle(const std::wstring& title);

protected:
    // WM_INITDIALOG. The default fills the controls (DoDataExchange with save false) and
    // returns true, which lets the dialog manager put the focus on the first control; an
    // override that sets the focus itself returns false.
    virtual bool OnInitDialog();
    // Moves data between the controls and the members: into the controls when `save` is
    // false, out of them when it is true.
    virtual void DoDataExchange(bool save);
    // The OK button: saves the controls' data and ends with IDOK.
    virtual void OnOK();
    // The Cancel button, Escape and the close box: ends with IDCANCEL, saving nothing.
    virtual void OnCancel();
    // WM_COMMAND from control `id`; true when handled. The default handles IDOK and
    // IDCANCEL; an override calls it for what it does not handle itself.
    virtual bool OnCommand(int id, int notification, HWND control);
    // Any message, before the standard handling; true when handled, with `result` the
    // dialog procedure's answer.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HINSTANCE Module() const;

    UINT templateId_;
    HWND parent_;
    HINSTANCE module_;
    HWND window_ = nullptr;
    bool modal_ = false;
    INT_PTR endCode_ = 0;
};

}  // namespace gr
