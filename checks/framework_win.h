// The .NET Framework check as the program runs it: the package's entries from the string
// table, the facts from the machine's registry, the progress lines into the log.
#pragma once

#include <windows.h>

#include "checks/framework.h"

namespace gr {

// True when an acceptable framework is installed; on false `required` names the one to
// install.
bool CheckFrameworkRequirement(HINSTANCE module, RequiredFramework& required);

}  // namespace gr
