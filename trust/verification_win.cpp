#include "trust/verification_win.h"

#include <windows.h>
#include <softpub.h>
#include <wintrust.h>

#include "base/log.h"
#include "framework/system_library_win.h"
#include "trust/verification.h"

namespace gr {
namespace {

// The request as 32-bit Windows of every version reads it: without the later fields.
static_assert(sizeof(void*) != 4 || sizeof(WINTRUST_DATA) == 48, "trust data of 48 bytes");
static_assert(sizeof(void*) != 4 || sizeof(WINTRUST_FILE_INFO) == 16, "file record of 16 bytes");

// The verification asked for: Authenticode. WinVerifyTrust only reads it, so it gets the
// read-only constant itself: a local copy would bring its own writable data section.
constexpr GUID kVerifyAction = WINTRUST_ACTION_GENERIC_VERIFY_V2;

// Asks the trust provider about `path`. Without the provider every file counts as one it
// cannot judge, with the thread's last error saying so.
int32_t AskTrustProvider(const std::wstring& path, DWORD& lastError) {
    SystemLibrary wintrust(L"wintrust.dll");
    auto verify = wintrust.Find<decltype(&::WinVerifyTrust)>("WinVerifyTrust");
    if (!verify) {
        lastError = static_cast<DWORD>(kTrustProviderUnknown);
        return kTrustProviderUnknown;
    }
    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof(file);
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwProvFlags = WTD_SAFER_FLAG;
    LONG result = verify(nullptr, const_cast<GUID*>(&kVerifyAction), &data);
    lastError = ::GetLastError();  // tells an unsigned file from an unreadable one
    return static_cast<int32_t>(result);
}

}  // namespace

int32_t VerifyAuthenticodeSignature(const std::wstring& path, std::wstring& text) {
    DWORD lastError = 0;
    int32_t result = AskTrustProvider(path, lastError);
    text = VerificationText(result, lastError, path);
    LogFormat(L"Digital verification: '%s'\n", text);
    return result;
}

}  // namespace gr
