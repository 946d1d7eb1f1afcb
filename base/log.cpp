#include "base/log.h"

#include <utility>

namespace gr {

std::string ToTextModeLineEnds(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16 + 2);
    for (char c : bytes) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

class DiagnosticLog::Guard {
public:
    explicit Guard(LogLock& lock) : lock_(lock) { lock_.Lock(); }
    ~Guard() { lock_.Unlock(); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    LogLock& lock_;
};

void DiagnosticLog::Write(std::wstring_view text) {
    if (!text.empty()) file_->Write(ToTextModeLineEnds(encode_(text)));
}

void DiagnosticLog::Text(std::wstring_view text) {
    Guard guard(lock_);
    TextLocked(text);
}

void DiagnosticLog::TextLocked(std::wstring_view text) {
    if (open_)
        Write(text);
    else
        heldBack_.append(text);
}

void DiagnosticLog::Name(std::wstring path) {
    Guard guard(lock_);
    NameLocked(std::move(path));
}

void DiagnosticLog::NameLocked(std::wstring path) {
    if (path == path_) return;  // already named so: an open file keeps what it holds
    CloseLocked();
    path_ = std::move(path);
}

LogOpening DiagnosticLog::Open() {
    Guard guard(lock_);
    return OpenLocked();
}

LogOpening DiagnosticLog::Open(std::wstring path) {
    Guard guard(lock_);
    NameLocked(std::move(path));
    return OpenLocked();
}

LogOpening DiagnosticLog::OpenLocked() {
    if (open_) return LogOpening::Opened;
    if (path_.empty() || file_ == nullptr) return LogOpening::Failed;
    LogOpening opening = file_->Open(path_, false);
    if (opening != LogOpening::Opened) return opening;
    open_ = true;
    WriteHeldBack();
    return opening;
}

void DiagnosticLog::WriteHeldBack() {
    Write(heldBack_);
    heldBack_.clear();
    heldBack_.shrink_to_fit();
}

void DiagnosticLog::Close() {
    Guard guard(lock_);
    CloseLocked();
}

void DiagnosticLog::CloseLocked() {
    if (!open_) return;
    file_->Close();
    open_ = false;
}

void DiagnosticLog::Reopen() {
    Guard guard(lock_);
    ReopenLocked();
}

void DiagnosticLog::ReopenLocked() {
    if (open_ || path_.empty() || file_ == nullptr) return;
    open_ = file_->Open(path_, true) == LogOpening::Opened;
}

void DiagnosticLog::EndBeforeFatalExit(std::wstring_view line) {
    // A fatal end can come while this very thread holds the lock (memory exhausted in the
    // middle of a line): the lock is waited for a moment only, then the last words are
    // written without it, since the process ends at once anyway.
    constexpr unsigned kFatalLockAttempts = 1u << 20;
    bool locked = lock_.TryLock(kFatalLockAttempts);
    if (!open_) {
        ReopenLocked();
        if (open_) WriteHeldBack();
    }
    TextLocked(line);
    CloseLocked();
    if (locked) lock_.Unlock();
}

void DiagnosticLog::Install(LogFile& file, LogEncoder encode) {
    Guard guard(lock_);
    CloseLocked();
    path_.clear();
    file_ = &file;
    encode_ = encode;
}

namespace {
DiagnosticLog processLog;
}  // namespace

DiagnosticLog& ProcessLog() { return processLog; }
void InstallLogFile(LogFile& file, LogEncoder encode) { processLog.Install(file, encode); }
void LogText(std::wstring_view text) { processLog.Text(text); }
void NameLog(std::wstring path) { processLog.Name(std::move(path)); }
LogOpening OpenLog() { return processLog.Open(); }
LogOpening OpenLog(std::wstring path) { return processLog.Open(std::move(path)); }
void CloseLog() { processLog.Close(); }
void ReopenLog() { processLog.Reopen(); }
void LogFatalEnd(const wchar_t* condition, uint32_t code) {
    processLog.EndBeforeFatalExit(Format(L"Ending at once: %s (0x%x)\n", condition, code));
}

}  // namespace gr
