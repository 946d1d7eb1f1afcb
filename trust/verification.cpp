#include "trust/verification.h"

#include "base/format.h"

namespace gr {

std::wstring VerificationText(int32_t result, uint32_t lastError, const std::wstring& path) {
    switch (result) {
    case 0:
        return Format(L"The file \"%s\" is signed and the signature was verified.\n", path);
    case kTrustNoSignature: {
        auto error = static_cast<int32_t>(lastError);
        if (error == kTrustNoSignature || error == kTrustSubjectFormUnknown || error == kTrustProviderUnknown)
            return Format(L"The file \"%s\" is not signed.\n", path);
        return Format(L"An unknown error occurred trying to verify the signature of the \"%s\" file.\n", path);
    }
    case kTrustExplicitDistrust:
        return L"The signature is present, but specifically disallowed.\n";
    case kTrustSubjectNotTrusted:
        return L"The signature is present, but not trusted.\n";
    case kTrustSecuritySettings:
        return L"The subject or the publisher wasn't explicitly trusted by the admin and admin policy has "
               L"disabled user trust. No signature, publisher or timestamp errors.\n";
    default:
        return Format(L"Error is: 0x%x.\n", static_cast<uint32_t>(result));
    }
}

}  // namespace gr
