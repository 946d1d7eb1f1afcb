// The runtime replacement's one setting: what a program does in the moment before the
// runtime ends it at once (memory exhausted, a length or an argument the standard library
// refuses). The bootstrapper writes its log there; without a handler the process just ends.
#pragma once

#include <cstdint>

namespace gr {

// `condition` names what happened; `code` is the exit code the process ends with. Called
// at most once; a fatal end inside the handler ends the process at once.
using FatalEndHandler = void (*)(const wchar_t* condition, uint32_t code);

void SetFatalEndHandler(FatalEndHandler handler);

}  // namespace gr
