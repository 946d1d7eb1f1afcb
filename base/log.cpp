#include "base/log.h"

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

void DiagnosticLog::Write(std::wstring_view text) {
    if (!text.empty()) file_->Write(ToTextModeLineEnds(encode_(text)));
}

void DiagnosticLog::Text(std::wstring_view text) {
    if (open_)
        Write(text);
    else
        heldBack_.append(text);
}

void DiagnosticLog::Open(const std::wstring& path) {
    if (open_ && path == path_) return;  // already writing there: keep what it holds
    Close();
    path_ = path;
    if (file_ == nullptr || !file_->Open(path_, false)) return;
    open_ = true;
    Write(heldBack_);
    heldBack_.clear();
    heldBack_.shrink_to_fit();
}

void DiagnosticLog::Close() {
    if (!open_) return;
    file_->Close();
    open_ = false;
}

void DiagnosticLog::Reopen() {
    if (open_ || path_.empty() || file_ == nullptr) return;
    open_ = file_->Open(path_, true);
}

void DiagnosticLog::Install(LogFile& file, LogEncoder encode) {
    Close();
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
void OpenLog(const std::wstring& path) { processLog.Open(path); }
void CloseLog() { processLog.Close(); }
void ReopenLog() { processLog.Reopen(); }

}  // namespace gr
