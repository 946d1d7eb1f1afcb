// Reading the signer of a file's embedded Authenticode signature, and logging it.
#pragma once

#include <string>

#include "trust/signer_details.h"

namespace gr {

// Fills `details` from the first signer of the signature embedded in `path`. True when
// the signer's information was read, whatever details it held; false for an unsigned or
// unreadable file.
bool GetAuthenticodeInformation(const std::wstring& path, SignerDetails& details);

// Logs who signed `path`. `programName` comes in holding the name to use when the
// signature names no program, and leaves holding the signature's program name if it has one.
void LogSignerDetails(const std::wstring& path, std::wstring& programName);

}  // namespace gr
