#include "payload/payload_file_win.h"

#include "base/log.h"
#include "framework/checked_file_win.h"

namespace gr {

FileHandle OpenPayloadFile(const std::wstring& path) {
    // Opened by the link-safe open, and only emptied once the handle shows the name's own
    // plain file: creating with CREATE_ALWAYS would empty a hard link's other names first.
    CheckedFile opened = OpenCheckedFile(path, GENERIC_WRITE, 0, Creation::CreateIfMissing);
    if (opened.refusal != FileRefusal::None) {  // refused, or a folder in the file's place
        LogFormat(L"Refused file '%s': %s\n", path, RefusalText(opened.refusal));
        return FileHandle();
    }
    if (opened.outcome != CheckedOutcome::Opened) {
        LogFormat(L"File '%s' cannot be made, error %u\n", path, static_cast<uint32_t>(opened.error));
        return FileHandle();
    }
    if (!EmptyFile(opened.file.Get())) return FileHandle();
    return std::move(opened.file);
}

}  // namespace gr
