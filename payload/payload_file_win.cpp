#include "payload/payload_file_win.h"

#include "base/log.h"
#include "payload/working_folder.h"

namespace gr {

FileHandle OpenPayloadFile(const std::wstring& path) {
    // Opened at the link itself, if one is there, and only emptied once the handle shows a
    // plain file: creating with CREATE_ALWAYS would empty a hard link's other names first.
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file || !::GetFileInformationByHandle(file.Get(), &info)) return FileHandle();
    if (const wchar_t* refusal = PayloadFileRefusal(info.dwFileAttributes, info.nNumberOfLinks)) {
        LogFormat(L"Refused file '%s': %s\n", path, refusal);
        return FileHandle();
    }
    if (!::SetEndOfFile(file.Get())) return FileHandle();
    return file;
}

}  // namespace gr
