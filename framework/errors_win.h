// Turning Win32 errors into the program's result codes.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/result_codes.h"

namespace gr {

// The result code for a Win32 error read straight after the failing call; never 0, so a
// failure can never pass for success.
inline uint32_t ResultFromError(DWORD error) {
    return error == 0 ? kFailed : static_cast<uint32_t>(HRESULT_FROM_WIN32(error));
}

}  // namespace gr
