#include "app/package_settings.h"

#include "base/decimal.h"
#include "checks/administrator.h"
#include "res/resource_ids.h"

namespace gr {

PackageSettings ReadPackageSettings(const TextSource& entries) {
    PackageSettings settings;
    settings.processorType = entries.Text(IDS_PROCESSOR_TYPE);
    settings.requiredMegabytes = ParseDecimal(entries.Text(IDS_REQUIRED_SPACE));
    for (size_t i = 0; i < kFrameworkCount; ++i)
        settings.frameworkLevels[i] = entries.Text(static_cast<unsigned>(IDS_FRAMEWORK_LEVEL_FIRST + i));
    settings.administratorRequired = AdministratorRequiredByEntry(entries.Text(IDS_ADMIN_REQUIRED));
    settings.programName = entries.Text(IDS_PROGRAM_NAME);
    return settings;
}

}  // namespace gr
