#include "payload/embedded_info_win.h"

#include <windows.h>

#include <vector>

#include "base/log.h"
#include "framework/ansi_win.h"
#include "framework/checked_file_win.h"
#include "framework/handles_win.h"
#include "payload/embedded_info.h"

namespace gr {
namespace {

// The information as text in the thread's ANSI code page, up to its first zero byte.
std::wstring InformationText(const uint8_t* bytes, size_t length) {
    size_t end = 0;
    while (end < length && bytes[end] != 0) ++end;
    return FromAnsi(std::string_view(reinterpret_cast<const char*>(bytes), end));
}

// Reads the scan window of the open file; false when the file is too small or unreadable.
bool ReadWindow(HANDLE file, std::vector<uint8_t>& window) {
    DWORD size = ::GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE || size <= kInfoWindowBytes) return false;
    if (::SetFilePointer(file, -kInfoWindowFromEnd, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) return false;
    window.assign(kInfoWindowBytes, 0);
    DWORD read = 0;
    return ::ReadFile(file, window.data(), kInfoWindowBytes, &read, nullptr) && read == kInfoWindowBytes;
}

void WriteInformation(const uint8_t* bytes, size_t length, const std::wstring& outputPath) {
    LogFormat(L"Found embedded information '%s'\r\n", InformationText(bytes, length));
    // The link-safe open, as for the payload files; an existing file is emptied only once
    // it is known to be the name's own.
    CheckedFile opened = OpenCheckedFile(outputPath, GENERIC_WRITE, 0, Creation::CreateIfMissing);
    DWORD error = opened.error;
    if (opened.outcome == CheckedOutcome::Refused) {
        LogFormat(L"Refused file '%s': %s\n", outputPath, RefusalText(opened.refusal));
        error = ERROR_ACCESS_DENIED;
    } else if (opened.outcome == CheckedOutcome::Opened && !EmptyFile(opened.file.Get())) {
        error = ::GetLastError();
        opened.file.Reset();
    }
    FileHandle output = std::move(opened.file);
    if (!output) {
        LogFormat(L"Failed to create temp file %s %ld\r\n", outputPath, static_cast<int32_t>(error));
        return;
    }
    DWORD written = 0;
    int32_t count = static_cast<int32_t>(length);
    bool whole = ::WriteFile(output.Get(), bytes, static_cast<DWORD>(length), &written, nullptr) && written == length;
    LogText(InformationWrittenLine(whole, count, outputPath));
}

}  // namespace

void ScanForEmbeddedInformation(const std::wstring& programPath, const std::wstring& outputPath) {
    FileHandle program(
        ::CreateFileW(programPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LogText(L"Scanning for Signature\r\n");
    std::vector<uint8_t> window;
    if (!program || !ReadWindow(program.Get(), window)) return;
    InfoBlock block;
    if (!FindEmbeddedInformation(window.data(), block)) return;
    WriteInformation(window.data() + block.offset, block.length, outputPath);
}

}  // namespace gr
