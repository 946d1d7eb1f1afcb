#include "framework/log_file_win.h"

#include <windows.h>

#include "framework/ansi_win.h"
#include "framework/handles_win.h"

namespace gr {
namespace {

constexpr size_t kLogBufferBytes = 4096;

// The facts of the open file itself; a file whose facts cannot be read is refused.
bool HandleIsRefused(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION facts;
    if (!::GetFileInformationByHandle(file, &facts)) return true;
    return IsRefusedLogFile(facts.dwFileAttributes, facts.nNumberOfLinks);
}

// A name that could not be opened as a file: refused when it is a folder or a link (the
// attributes of the name itself, not followed), merely missing or held otherwise.
bool NameIsRefused(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && IsRefusedLogFile(attributes, 1);
}

class Win32LogFile : public LogFile {
public:
    ~Win32LogFile() override { Close(); }  // text still buffered at process end is kept
    // The final name is opened as it is, never followed through a link, and kept as it
    // is until its facts are known: a refused file is closed untouched, an accepted one
    // emptied through the handle when it is opened anew.
    LogOpening Open(const std::wstring& path, bool append) override {
        Close();
        DWORD access = (append ? FILE_APPEND_DATA : GENERIC_WRITE) | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
        FileHandle file(::CreateFileW(path.c_str(), access, 0, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file) return NameIsRefused(path) ? LogOpening::Refused : LogOpening::Failed;
        if (HandleIsRefused(file.Get())) return LogOpening::Refused;
        if (!append && !::SetEndOfFile(file.Get())) return LogOpening::Failed;
        file_ = std::move(file);
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
