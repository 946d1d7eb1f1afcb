// Whether the wizard's processor target fits the running system, and whether the
// file-system redirection of a 32-bit process on 64-bit Windows must be off while the
// wizard's process is created.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/result_codes.h"

namespace gr {


enum class ProcessorMode { Any = 0, X86 = 1, X64 = 2, X32Only = 3 };

// The mode a program type names ("x86", "x64", "x32Only", letter case of A to Z ignored,
// whole text only); anything else is Any. `logLine` receives the line that says so.
ProcessorMode ParseProcessorMode(std::wstring_view programType, const wchar_t*& logLine);

struct RedirectionDecision {
    bool fits = true;                 // false: the launch must not go ahead
    bool redirectionOff = false;      // switch redirection off around the creation call
};

// 64-bit targets need 64-bit Windows; 32-bit-only targets refuse it. Under WOW64 a wizard
// for any processor or for 64 bits is started with redirection off, so that it runs as
// the 64-bit program it can be.
RedirectionDecision DecideRedirection(ProcessorMode mode, bool underWow64);

}  // namespace gr
