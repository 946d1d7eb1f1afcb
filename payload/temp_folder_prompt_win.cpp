#include "payload/temp_folder_prompt_win.h"

#include "base/log.h"
#include "base/result_codes.h"
#include "res/resource_ids.h"

namespace gr {
namespace {

// Holds the open prompt count one higher for its lifetime, so that the user-interface
// thread's wait loop knows a prompt is up on every path. A change of the count does not
// wake that loop by itself, so each change is followed by a message to its thread: without
// one, the splash would stay hidden after the prompt until the wizard shows its window.
class OpenPrompt {
public:
    OpenPrompt(std::atomic<int32_t>& count, DWORD follower) : count_(count), follower_(follower) {
        ++count_;
        Wake();
    }
    ~OpenPrompt() {
        --count_;
        Wake();
    }
    OpenPrompt(const OpenPrompt&) = delete;
    OpenPrompt& operator=(const OpenPrompt&) = delete;

private:
    void Wake() const {
        if (follower_) ::PostThreadMessageW(follower_, WM_NULL, 0, 0);
    }

    std::atomic<int32_t>& count_;
    DWORD follower_;
};

}  // namespace

CTempFolderDialog::CTempFolderDialog(HINSTANCE module) : CDialog(IDD_TEMP_FOLDER, nullptr, module) {}

bool CTempFolderDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetTitle(caption);
    ::SetFocus(edit_);
    ::SendMessageW(edit_, EM_SETSEL, 0, -1);
    return false;
}

void CTempFolderDialog::DoDataExchange(bool save) {
    edit_ = Control(IDC_TEMP_FOLDER);
    if (save)
        folder = ControlText(IDC_TEMP_FOLDER);
    else
        SetControlText(IDC_TEMP_FOLDER, folder);
}

uint32_t PromptForTempFolder(HINSTANCE module, const std::wstring& caption, bool silent,
                             std::atomic<int32_t>& openPromptCount, DWORD follower, std::wstring& root) {
    if (silent) {
        LogText(L"Not Prompting the user as silent installation\n");
        return kFailed;
    }
    CTempFolderDialog dialog(module);
    dialog.caption = caption;
    dialog.folder = root;
    INT_PTR ended = 0;
    {
        OpenPrompt open(openPromptCount, follower);
        ended = dialog.DoModal();
    }
    if (ended != IDOK) return kFailed;
    root = dialog.folder;
    return 0;
}

}  // namespace gr
