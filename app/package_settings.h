// The package settings: the string-table entries that configure a package (the table of
// package/format.h), read once at start-up into a plain value. The resources never change
// during a run, so each subsystem takes the values it needs from here as arguments.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/text_source.h"
#include "checks/framework.h"
#include "package/format.h"

namespace gr {

struct PackageSettings {
    std::array<std::wstring, kSettings.size()> texts;  // in the table's order

    const std::wstring& Text(Setting setting) const { return texts[static_cast<size_t>(setting)]; }
    // Free space the temporary path's drive needs, in megabytes.
    int64_t RequiredMegabytes() const;
    // The lowest service packs of the seven .NET versions, as text.
    FrameworkEntries FrameworkLevels() const;
    // True unless the text is exactly "0".
    bool AdministratorRequired() const;
};

PackageSettings ReadPackageSettings(const TextSource& entries);

}  // namespace gr
