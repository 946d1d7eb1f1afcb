// The diagnostic log: one process-wide stream of text lines, written to a file only when
// the command line names one. Text logged before the file opens is held back and written
// when it does. The file is held open for this process alone, so the launch closes it
// while the wizard (which shares the same path) runs, and reopens it for appending after.
// Where the bytes go is a seam: start-up installs the file on disk, a test one in memory.
#pragma once

#include <string>
#include <string_view>

#include "base/format.h"

namespace gr {

// Where the log's bytes go.
class LogFile {
public:
    virtual ~LogFile() = default;
    // Opens `path` without sharing: emptied, or kept and appended to when `append`.
    virtual bool Open(const std::wstring& path, bool append) = 0;
    virtual void Write(std::string_view bytes) = 0;
    virtual void Close() = 0;
};

// Converts text to the bytes the log file holds (the thread's ANSI code page), whole.
using LogEncoder = std::string (*)(std::wstring_view text);

// Every line feed written as carriage return + line feed, as a text-mode stream does; a
// carriage return already there is kept, so "\r\n" becomes "\r\r\n".
std::string ToTextModeLineEnds(std::string_view bytes);

class DiagnosticLog {
public:
    // A log without a file: text is held back, and no path can be opened, until one is
    // installed.
    DiagnosticLog() = default;
    DiagnosticLog(LogFile& file, LogEncoder encode) : file_(&file), encode_(encode) {}
    DiagnosticLog(const DiagnosticLog&) = delete;
    DiagnosticLog& operator=(const DiagnosticLog&) = delete;

    // Logs `text` unchanged (no formatting).
    void Text(std::wstring_view text);
    // Opens `path` anew, emptying it, and writes the held-back text into it. When that
    // very file is already open it is kept and the log goes on appending to it.
    void Open(const std::wstring& path);
    void Close();
    // Opens the last path again for appending, when no file is open.
    void Reopen();
    // Writes from now on through `file`, converting with `encode`; a file open before is
    // closed first, and the last path is forgotten.
    void Install(LogFile& file, LogEncoder encode);

    bool IsOpen() const { return open_; }
    const std::wstring& Path() const { return path_; }
    const std::wstring& HeldBack() const { return heldBack_; }

private:
    void Write(std::wstring_view text);

    LogFile* file_ = nullptr;
    LogEncoder encode_ = nullptr;
    bool open_ = false;
    std::wstring path_;
    std::wstring heldBack_;
};

// The process-wide log, and the free functions every layer logs through.
DiagnosticLog& ProcessLog();
void InstallLogFile(LogFile& file, LogEncoder encode);
void LogText(std::wstring_view text);
void OpenLog(const std::wstring& path);
void CloseLog();
void ReopenLog();

template <class... Args>
void LogFormat(std::wstring_view format, const Args&... args) {
    LogText(Format(format, args...));
}

}  // namespace gr
