// The diagnostic log: one process-wide stream of text lines, written to a file only when
// the command line names one. Text logged before the file opens is held back and written
// when it does. The file is held open for this process alone, so the launch closes it
// while the wizard (which shares the same path) runs, and reopens it for appending after.
// Where the bytes go is a seam: start-up installs the file on disk, a test one in memory.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/format.h"

namespace gr {

// How an attempt to open the log's file ended.
enum class LogOpening {
    Opened,
    Failed,   // it cannot be opened (a missing folder, a folder, a file another holds): the log stays silent
    Refused,  // a link at its name, or a file with other names (base/file_refusal.h): never written
};

// Where the log's bytes go.
class LogFile {
public:
    virtual ~LogFile() = default;
    // Opens `path` without sharing: emptied, or kept and appended to when `append`. A
    // refused file is left as it is, not emptied.
    virtual LogOpening Open(const std::wstring& path, bool append) = 0;
    virtual void Write(std::string_view bytes) = 0;
    virtual void Close() = 0;
};

// Converts text to the bytes the log file holds (the thread's ANSI code page), whole.
using LogEncoder = std::string (*)(std::wstring_view text);

// Every line feed written as carriage return + line feed, as a text-mode stream does; a
// carriage return already there is kept, so "\r\n" becomes "\r\r\n".
std::string ToTextModeLineEnds(std::string_view bytes);

// Two threads write to the log: the worker through the run, and the user-interface thread
// before and after it, and also while the worker runs when its wait for the run fails. So
// every operation takes the log's lock. It is a spin lock: the lock is held only while text
// is buffered or a buffer written out, it is almost never contended, and it needs no
// threading library.
class LogLock {
public:
    void Lock() {
        while (held_.test_and_set(std::memory_order_acquire)) {
        }
    }
    // The lock when it comes within `attempts`; false otherwise.
    bool TryLock(unsigned attempts) {
        for (unsigned i = 0; i < attempts; ++i)
            if (!held_.test_and_set(std::memory_order_acquire)) return true;
        return false;
    }
    void Unlock() { held_.clear(std::memory_order_release); }

private:
    std::atomic_flag held_ = ATOMIC_FLAG_INIT;
};

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
    // Names the log's file by its full path, which the log alone holds from then on: every
    // open, the reopen and a fatal end's last words take it from here. A file open under
    // another name is closed; under the same name it stays open.
    void Name(std::wstring path);
    // Opens the named file anew, emptying it, and writes the held-back text into it. When
    // it is open already it is kept and the log goes on appending to it. Failed when no
    // file is named.
    LogOpening Open();
    // Names `path` and opens it, as the two above.
    LogOpening Open(std::wstring path);
    void Close();
    // Opens the named file again for appending, when no file is open. A refused file (the
    // wizard's turn may have left a link there) stays closed.
    void Reopen();
    // The last words before the process ends at once, running no destructor: the text
    // buffered or held back, then `line`, reach the file (reopened for appending if it was
    // closed), and the file is closed.
    void EndBeforeFatalExit(std::wstring_view line);
    // Writes from now on through `file`, converting with `encode`; a file open before is
    // closed first, and its name is forgotten.
    void Install(LogFile& file, LogEncoder encode);

    // For tests and checks on one thread: the state as it stands.
    bool IsOpen() const { return open_; }
    const std::wstring& Path() const { return path_; }
    const std::wstring& HeldBack() const { return heldBack_; }

private:
    class Guard;

    void Write(std::wstring_view text);
    void WriteHeldBack();
    void TextLocked(std::wstring_view text);
    void NameLocked(std::wstring path);
    LogOpening OpenLocked();
    void CloseLocked();
    void ReopenLocked();

    LogLock lock_;

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
void NameLog(std::wstring path);
LogOpening OpenLog();
LogOpening OpenLog(std::wstring path);
void CloseLog();
void ReopenLog();
// Writes what the log holds and a line naming `condition` and the exit `code` before the
// process ends at once.
void LogFatalEnd(const wchar_t* condition, uint32_t code);

template <class... Args>
void LogFormat(std::wstring_view format, const Args&... args) {
    LogText(Format(format, args...));
}

}  // namespace gr
