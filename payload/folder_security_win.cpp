#include "payload/folder_security_win.h"

#include <aclapi.h>
#include <sddl.h>

namespace gr {

std::wstring CurrentUserSid() {
    Handle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return std::wstring();
    union {
        TOKEN_USER user;
        unsigned char bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } buffer;
    DWORD size = 0;
    if (!::GetTokenInformation(token.Get(), TokenUser, &buffer, sizeof(buffer), &size)) return std::wstring();
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(buffer.user.User.Sid, &text)) return std::wstring();
    LocalMemory owned(text);
    return std::wstring(text);
}

LocalMemory OwnersOnlySecurity() {
    std::wstring user = CurrentUserSid();
    if (user.empty()) return LocalMemory();
    std::wstring sddl = OwnersOnlySecurityText(user);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return LocalMemory();
    return LocalMemory(descriptor);
}

bool CreateSecuredFolder(const std::wstring& path) {
    LocalMemory descriptor = OwnersOnlySecurity();
    if (!descriptor) return false;  // never made without its protection
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.Get(), FALSE};
    return ::CreateDirectoryW(path.c_str(), &attributes) != FALSE;
}

bool InspectExisting(const std::wstring& path, ExistingFolder& found) {
    FileHandle opened(::CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!opened || !::GetFileInformationByHandle(opened.Get(), &info)) return false;
    DWORD named = ::GetFileAttributesW(path.c_str());
    found.attributes = info.dwFileAttributes | (named == INVALID_FILE_ATTRIBUTES ? 0 : named & FILE_ATTRIBUTE_REPARSE_POINT);
    FileHandle forDeletion(::CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    found.inUse = !forDeletion && ::GetLastError() == ERROR_SHARING_VIOLATION;
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(opened.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                          &descriptor) != ERROR_SUCCESS)
        return true;
    LocalMemory held(descriptor);
    wchar_t* text = nullptr;
    if (owner && ::ConvertSidToStringSidW(owner, &text)) {
        LocalMemory textHeld(text);
        found.owner = text;
    }
    return true;
}

FileHandle HoldFolder(const std::wstring& path) {
    return FileHandle(::CreateFileW(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

}  // namespace gr
