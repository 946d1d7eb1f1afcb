// What the trust provider's verdict on the program file means, in words for the log and
// for the question the user is asked when the file is not verified.
#pragma once

#include <cstdint>
#include <string>

namespace gr {

// Trust provider answers that have a text of their own.
constexpr int32_t kTrustNoSignature = static_cast<int32_t>(0x800B0100);
constexpr int32_t kTrustProviderUnknown = static_cast<int32_t>(0x800B0001);
constexpr int32_t kTrustSubjectFormUnknown = static_cast<int32_t>(0x800B0003);
constexpr int32_t kTrustSubjectNotTrusted = static_cast<int32_t>(0x800B0004);
constexpr int32_t kTrustExplicitDistrust = static_cast<int32_t>(0x800B0111);
constexpr int32_t kTrustSecuritySettings = static_cast<int32_t>(0x80092026);

// The text for the provider's `result` on the file `path`; `lastError` is the thread's last
// error read straight after the verification, which tells an unsigned file from a failed
// read when the result is "no signature". Every text ends with a line feed.
std::wstring VerificationText(int32_t result, uint32_t lastError, const std::wstring& path);

}  // namespace gr
