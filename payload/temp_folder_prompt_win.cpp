#include "payload/temp_folder_prompt_win.h"

#include "app/log.h"
#include "framework/string_table_win.h"
#include "res/resource_ids.h"

namespace gr {
namespace {

// Holds the open prompt count one higher for its lifetime, so that the user-interface
// thread's wait loop knows a prompt is up on every path.
class OpenPrompt {
public:
    explicit OpenPrompt(std::atomic<int32_t>& count) : count_(count) { ++count_; }
    ~OpenPrompt() { --count_; }
    OpenPrompt(const OpenPrompt&) = delete;
    OpenPrompt& operator=(const OpenPrompt&) = delete;

private:
    std::atomic<int32_t>& count_;
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

uint32_t PromptForTempFolder(HINSTANCE module, bool silent, std::atomic<int32_t>& openPromptCount,
                             std::wstring& root) {
    if (silent) {
        LogText(L"Not Prompting the user as silent installation\n");
        return static_cast<uint32_t>(E_FAIL);
    }
    CTempFolderDialog dialog(module);
    dialog.caption = LoadStringResource(module ? module : ::GetModuleHandleW(nullptr), IDS_PRODUCT_NAME);
    dialog.folder = root;
    INT_PTR ended = 0;
    {
        OpenPrompt open(openPromptCount);
        ended = dialog.DoModal();
    }
    if (ended != IDOK) return static_cast<uint32_t>(E_FAIL);
    root = dialog.folder;
    return 0;
}

}  // namespace gr
