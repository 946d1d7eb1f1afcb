#include "payload/folder_security_win.h"

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include "payload/working_folder.h"

namespace gr {

LocalMemory OwnersOnlySecurity() {
    Handle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return LocalMemory();
    union {
        TOKEN_USER user;
        unsigned char bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } buffer;
    DWORD size = 0;
    if (!::GetTokenInformation(token.Get(), TokenUser, &buffer, sizeof(buffer), &size)) return LocalMemory();
    wchar_t* userText = nullptr;
    if (!::ConvertSidToStringSidW(buffer.user.User.Sid, &userText)) return LocalMemory();
    LocalMemory userOwner(userText);
    std::wstring sddl = OwnersOnlySecurityText(userText);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return LocalMemory();
    return LocalMemory(descriptor);
}

void CreateProtectedFolder(const std::wstring& path) {
    LocalMemory descriptor = OwnersOnlySecurity();
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.Get(), FALSE};
    int created = ::SHCreateDirectoryExW(nullptr, path.c_str(), descriptor ? &attributes : nullptr);
    if (created == ERROR_ALREADY_EXISTS && descriptor) {
        PACL dacl = nullptr;
        BOOL present = FALSE, defaulted = FALSE;
        if (::GetSecurityDescriptorDacl(descriptor.Get(), &present, &dacl, &defaulted) && present)
            ::SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                    dacl, nullptr);
    }
}

}  // namespace gr
