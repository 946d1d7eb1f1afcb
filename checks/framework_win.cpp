#include "checks/framework_win.h"

#include "app/log.h"
#include "checks/registry_win.h"
#include "framework/string_table_win.h"

namespace gr {

bool CheckFrameworkRequirement(HINSTANCE module, RequiredFramework& required) {
    FrameworkEntries entries;
    for (size_t i = 0; i < kFrameworkCount; ++i)
        entries[i] = LoadStringResource(module, static_cast<UINT>(kFirstFrameworkEntry + i));
    MachineRegistry registry;
    FrameworkCheck check = CheckFrameworkRequirement(entries, registry, required);
    for (const std::wstring& line : check.logLines) LogText(line);
    return check.satisfied;
}

}  // namespace gr
