// Whether the Windows Installer engine is recent enough (version 2.0 or later).
#pragma once

#include <cstdint>

#include "base/result_codes.h"

namespace gr {

constexpr uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

// An NT-family system (platform 2) of version 5.1 or later.
inline bool IsXpOrLater(uint32_t platformId, uint32_t major, uint32_t minor) {
    return platformId == 2 && (major > 5 || (major == 5 && minor >= 1));
}

struct FileVersion {
    uint32_t major = 0;
    uint32_t minor = 0;
};

// The file version of a fixed version-information block, when its signature is valid.
inline bool ReadFixedFileVersion(uint32_t signature, uint32_t fileVersionMs, FileVersion& version) {
    if (signature != kFixedFileInfoSignature) return false;
    version.major = fileVersionMs >> 16;
    version.minor = fileVersionMs & 0xFFFF;
    return true;
}

// Version 2.0 or later; the minor version does not matter.
inline bool EngineVersionAcceptable(const FileVersion& version) { return version.major >= 2; }

}  // namespace gr
