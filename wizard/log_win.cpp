#include "wizard/log_win.h"

#include "wizard/handles_win.h"
#include "wizard/text_win.h"

namespace wiz {

void WizardLog::Line(std::wstring_view text) const {
    if (path_.empty()) return;
    FileHandle file(::CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    std::string bytes = ToAnsi(std::wstring(L"Wizard: ").append(text)) + "\r\n";
    DWORD written = 0;
    ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace wiz
