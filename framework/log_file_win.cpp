#include "framework/log_file_win.h"

#include <windows.h>

#include "framework/ansi_win.h"
#include "framework/checked_file_win.h"
#include "framework/handles_win.h"

namespace gr {
namespace {

constexpr size_t kLogBufferBytes = 4096;

class Win32LogFile : public LogFile {
public:
    ~Win32LogFile() override { Close(); }  // text still buffered at process end is kept
    // The name is opened by the one link-safe open and kept as it is until it is known to be
    // the log's own file: a refused file is closed untouched, an accepted one emptied through
    // the handle when it is opened anew. A folder, or a name that cannot be opened or checked,
    // is merely not opened.
    LogOpening Open(const std::wstring& path, bool append) override {
        Close();
        CheckedFile opened = OpenCheckedFile(path, append ? FILE_APPEND_DATA : GENERIC_WRITE, 0, Creation::CreateIfMissing);
        if (opened.outcome == CheckedOutcome::Refused) return LogOpening::Refused;
        if (opened.outcome != CheckedOutcome::Opened) return LogOpening::Failed;
        if (!append && !EmptyFile(opened.file.Get())) return LogOpening::Failed;
        file_ = std::move(opened.file);
        return LogOpening::Opened;
    }
    void Write(std::string_view bytes) override {
        buffer_.append(bytes);
        if (buffer_.size() >= kLogBufferBytes) Flush();
    }
    void Close() override {
        Flush();
        file_.Reset();
    }

private:
    void Flush() {
        size_t done = 0;
        while (file_ && done < buffer_.size()) {
            DWORD written = 0;
            DWORD chunk = static_cast<DWORD>(buffer_.size() - done);
            if (!::WriteFile(file_.Get(), buffer_.data() + done, chunk, &written, nullptr) || written == 0)
                break;  // a failed write is dropped; logging never stops the run
            done += written;
        }
        buffer_.clear();
    }

    FileHandle file_;
    std::string buffer_;
};

Win32LogFile diskFile;

}  // namespace

void InstallDiskLogFile() { InstallLogFile(diskFile, ToAnsi); }

}  // namespace gr
