#include "checks/framework_win.h"

#include "base/log.h"
#include "checks/registry_win.h"

namespace gr {

bool CheckFrameworkRequirement(const FrameworkEntries& levels, RequiredFramework& required) {
    MachineRegistry registry;
    FrameworkCheck check = CheckFrameworkRequirement(levels, registry, required);
    for (const std::wstring& line : check.logLines) LogText(line);
    return check.satisfied;
}

}  // namespace gr
