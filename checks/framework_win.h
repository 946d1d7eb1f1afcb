// The .NET Framework check as the program runs it: the package's levels, the facts from
// the machine's registry, the progress lines into the log.
#pragma once

#include "checks/framework.h"

namespace gr {

// True when a framework acceptable to `levels` (the package's entries 138 to 144) is
// installed; on false `required` names the one to
// install.
bool CheckFrameworkRequirement(const FrameworkEntries& levels, RequiredFramework& required);

}  // namespace gr
