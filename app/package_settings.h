// The package settings: the string-table entries that configure a package, read once at
// start-up into a plain value. The resources never change during a run, so each subsystem
// takes the values it needs from here as arguments.
#pragma once

#include <cstdint>
#include <string>

#include "app/text_source.h"
#include "checks/framework.h"

namespace gr {

struct PackageSettings {
    std::wstring processorType;         // entry 0: "x86", "x64", "x32Only" or anything else
    int64_t requiredMegabytes = 0;      // entry 103: free space the temporary path's drive needs
    FrameworkEntries frameworkLevels;   // entries 138 to 144: lowest service packs, as text
    bool administratorRequired = true;  // entry 145: true unless the text is exactly "0"
    std::wstring programName;           // entry 201: the default program name for the wizard
};

PackageSettings ReadPackageSettings(const TextSource& entries);

}  // namespace gr
