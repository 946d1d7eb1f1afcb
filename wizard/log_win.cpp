#include "wizard/log_win.h"

#include "framework/checked_file_win.h"
#include "wizard/handles_win.h"
#include "wizard/text_win.h"

namespace wiz {

void WizardLog::Line(std::wstring_view text) const {
    if (path_.empty()) return;
    // The program's link-safe open: a link or a file with other names at the log's name is
    // never written through.
    gr::CheckedFile opened = gr::OpenCheckedFile(path_, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 gr::Creation::CreateIfMissing);
    if (opened.outcome != gr::CheckedOutcome::Opened) return;
    FileHandle file = std::move(opened.file);
    std::string bytes = ToAnsi(std::wstring(L"Wizard: ").append(text)) + "\r\n";
    DWORD written = 0;
    ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace wiz
