#include "framework/log_file_win.h"

#include <windows.h>

#include "framework/ansi_win.h"
#include "framework/handles_win.h"

namespace gr {
namespace {

constexpr size_t kLogBufferBytes = 4096;

class Win32LogFile : public LogFile {
public:
    ~Win32LogFile() override { Close(); }  // text still buffered at process end is kept
    bool Open(const std::wstring& path, bool append) override {
        Close();
        file_.Reset(::CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, 0, nullptr,
                                  append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        return static_cast<bool>(file_);
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
