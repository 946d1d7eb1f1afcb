// The prompt for another working folder root, shown when no file can be made in the root.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "framework/dialog_win.h"

namespace gr {

// Dialog template 146: one edit box (control 1005) holding the folder, OK and Cancel.
class CTempFolderDialog : public CDialog {
public:
    // The template is read from `module` (null: the program file); no parent window.
    explicit CTempFolderDialog(HINSTANCE module = nullptr);

    std::wstring caption;  // the window title, set when the dialog opens
    std::wstring folder;   // shown in the edit box; what the user left there after OK

protected:
    // Sets the title, puts the focus into the edit box with its whole text selected, and
    // returns false since it has set the focus itself.
    bool OnInitDialog() override;
    // The edit box's text in and out of `folder`; binds `edit_`.
    void DoDataExchange(bool save) override;

private:
    HWND edit_ = nullptr;  // a child of the dialog window, destroyed with it
};

// Asks the user for another working folder root, modally, on the calling thread (the
// worker's), with the title `caption` (the product name) and the template of `module`.
// `openPromptCount` is one higher while the dialog is open; the thread
// `follower` (0: none), which follows the count, gets a WM_NULL after each change. Returns
// 0 when the user pressed OK, with `root` the text exactly as left (empty too); kFailed on
// Cancel or close, or at once without a dialog when `silent`, with `root` unchanged.
uint32_t PromptForTempFolder(HINSTANCE module, const std::wstring& caption, bool silent,
                             std::atomic<int32_t>& openPromptCount, DWORD follower, std::wstring& root);

}  // namespace gr
