// Our small application framework's dialog: one object per dialog window, made from a
// dialog template in a module's resources, run modally or modelessly. The window finds its
// object through the pointer stored in its DWLP_USER slot when WM_INITDIALOG arrives.
// A static control of a dialog can have an object too (CStatic): it sees the control's
// messages first, and the colour notifications its dialog reflects back to it.
#pragma once

#include <windows.h>

#include <string>

namespace gr {

// The whole text of `window`; empty for no window.
std::wstring WindowText(HWND window);

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
    // The module that holds the template and the dialog's other resources.
    HINSTANCE Module() const;

protected:
    // WM_INITDIALOG. The default fills the controls (DoDataExchange with save false) and
    // returns true, which lets the dialog manager put the focus on the first control; an
    // override that sets the focus itself returns false.
    virtual bool OnInitDialog();
    // Moves data between the controls and the members: into the controls when `save` is
    // false, out of them when it is true.
    virtual void DoDataExchange(bool save);
    // One text of DoDataExchange: `text` into control `id`, or the control's text into
    // `text` when `save`.
    void Exchange(bool save, int id, std::wstring& text);
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
    // WM_INITDIALOG: OnInitDialog, then a dialog still hidden and where its template put it
    // is centred on its owner, or on the screen when it has none.
    bool InitDialog();

    UINT templateId_;
    HWND parent_;
    HINSTANCE module_;
    HWND window_ = nullptr;
    bool modal_ = false;
    INT_PTR endCode_ = 0;
};

// A static control of a dialog, subclassed so that this object handles its messages first.
// The dialog reflects the WM_CTLCOLOR* notifications about the control back to it. The
// object does not own the window: the window goes with its dialog, and an object that goes
// first gives the control its own window procedure back.
class CStatic {
public:
    CStatic() = default;
    virtual ~CStatic();
    CStatic(const CStatic&) = delete;
    CStatic& operator=(const CStatic&) = delete;

    // Subclasses `control`; does nothing when this object is already attached to a window.
    // False when `control` is null or already has an object.
    bool Attach(HWND control);
    // The control window; null before Attach and after the window is gone.
    HWND Window() const { return window_; }
    // The object attached to `control`, or null.
    static CStatic* FromWindow(HWND control);
    // A reflected notification (WM_CTLCOLOR*) with `result` the brush to answer; true when
    // handled. The default handles nothing.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    // A message for the control, before its own window procedure; true when handled, with
    // `result` the answer.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Right after Attach has subclassed the control.
    virtual void OnAttach() {}
    // The last call about the window, after WM_NCDESTROY, when it is no longer attached.
    virtual void PostNcDestroy() {}
    // The control's own handling of a message.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();

    HWND window_ = nullptr;
    WNDPROC original_ = nullptr;
};

}  // namespace gr
