#include "app/package_settings.h"

#include "base/decimal.h"
#include "checks/administrator.h"

namespace gr {

int64_t PackageSettings::RequiredMegabytes() const { return ParseDecimal(Text(Setting::RequiredSpace)); }

FrameworkEntries PackageSettings::FrameworkLevels() const {
    static_assert(static_cast<size_t>(Setting::DotNet45Full) - static_cast<size_t>(Setting::DotNet20) + 1 ==
                  kFrameworkCount);
    FrameworkEntries levels;
    for (size_t i = 0; i < kFrameworkCount; ++i) levels[i] = texts[static_cast<size_t>(Setting::DotNet20) + i];
    return levels;
}

bool PackageSettings::AdministratorRequired() const {
    return AdministratorRequiredByEntry(Text(Setting::Administrator));
}

PackageSettings ReadPackageSettings(const TextSource& entries) {
    PackageSettings settings;
    for (size_t i = 0; i < kSettings.size(); ++i) settings.texts[i] = entries.Text(kSettings[i].entry);
    return settings;
}

}  // namespace gr
