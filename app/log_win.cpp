// The process-wide log on Windows: text converted to the thread's ANSI code page, written
// through a buffer to a file held open for this process alone.
#include <windows.h>

#include "app/log.h"
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

// The text in the thread's ANSI code page, whole: the size is asked first, so a text
// whose characters take several bytes each is never cut.
std::string EncodeAnsi(std::wstring_view text) {
    if (text.empty()) return std::string();
    int wide = static_cast<int>(text.size());
    int bytes = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), wide, out.data(), bytes, nullptr, nullptr);
    return out;
}

Win32LogFile logFile;
DiagnosticLog processLog(logFile, EncodeAnsi);

}  // namespace

void LogText(std::wstring_view text) { processLog.Text(text); }
void OpenLog(const std::wstring& path) { processLog.Open(path); }
void CloseLog() { processLog.Close(); }
void ReopenLog() { processLog.Reopen(); }

}  // namespace gr
