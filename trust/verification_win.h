// Asking the platform's trust provider whether a file's Authenticode signature holds.
#pragma once

#include <cstdint>
#include <string>

namespace gr {

// Verifies the signature of the file `path` (no user interface, no revocation check) and
// returns the provider's answer unchanged: 0 when signed and trusted. `text` receives the
// answer in words, and the log gets the line "Digital verification: '<text>'".
int32_t VerifyAuthenticodeSignature(const std::wstring& path, std::wstring& text);

}  // namespace gr
