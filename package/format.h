// The package format: what the packing tool writes into the program and the program reads
// back. The tool and the program both include this header, so each fact of the format is
// written here once: the payload's resource type, the manifest's id, and the package
// settings (the string-table entries that configure a package) with their definition keys,
// shipped texts and the kind of value each one holds.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "res/resource_ids.h"

namespace gr {

// The resource type of the payload and of its manifest.
inline constexpr wchar_t kPayloadType[] = L"TOOLKIT";
// The manifest's id among the payload resources.
inline constexpr uint32_t kManifestId = 101;

// The package settings, in the order of the table below.
enum class Setting : uint8_t {
    Processor,       // "x86", "x64", "x32Only" (any letter case) or anything else: any processor
    Product,         // the product name of every caption and message
    RequiredSpace,   // free space the temporary path's drive needs, in megabytes
    DotNet20,        // lowest service pack of .NET 2.0; negative excludes the version
    DotNet30,        // then 3.0, 3.5, 4.0 Client and Full, 4.5 Client and Full, alike
    DotNet35,
    DotNet40Client,
    DotNet40Full,
    DotNet45Client,
    DotNet45Full,
    Administrator,   // administrator rights required unless the text is exactly "0"
    ProgramName,     // the default program name handed to the wizard
};

// What a setting's text holds, which the tool checks before it packs the text.
enum class SettingKind {
    Text,       // any text
    Megabytes,  // a whole number from 0 to 2147483647
    Level,      // a whole number, negative allowed
    Flag,       // "1" or "0"
};

struct PackageSetting {
    Setting setting;
    const char* key;      // the definition's key
    uint32_t entry;       // the string-table entry the program reads (res/resource_ids.h)
    const char* shipped;  // the text a definition that leaves the key out gets
    SettingKind kind;
};

inline constexpr std::array<PackageSetting, 12> kSettings = {{
    {Setting::Processor, "processor", IDS_PROCESSOR_TYPE, "AnyCPU", SettingKind::Text},
    {Setting::Product, "product", IDS_PRODUCT_NAME, "Oakcrest", SettingKind::Text},
    {Setting::RequiredSpace, "required-space", IDS_REQUIRED_SPACE, "500", SettingKind::Megabytes},
    {Setting::DotNet20, "dotnet-2.0", IDS_FRAMEWORK_LEVEL_FIRST, "0", SettingKind::Level},
    {Setting::DotNet30, "dotnet-3.0", IDS_FRAMEWORK_LEVEL_FIRST + 1, "0", SettingKind::Level},
    {Setting::DotNet35, "dotnet-3.5", IDS_FRAMEWORK_LEVEL_FIRST + 2, "0", SettingKind::Level},
    {Setting::DotNet40Client, "dotnet-4.0-client", IDS_FRAMEWORK_LEVEL_FIRST + 3, "0", SettingKind::Level},
    {Setting::DotNet40Full, "dotnet-4.0-full", IDS_FRAMEWORK_LEVEL_FIRST + 4, "0", SettingKind::Level},
    {Setting::DotNet45Client, "dotnet-4.5-client", IDS_FRAMEWORK_LEVEL_FIRST + 5, "0", SettingKind::Level},
    {Setting::DotNet45Full, "dotnet-4.5-full", IDS_FRAMEWORK_LEVEL_FIRST + 6, "0", SettingKind::Level},
    {Setting::Administrator, "administrator", IDS_ADMIN_REQUIRED, "1", SettingKind::Flag},
    {Setting::ProgramName, "program-name", IDS_PROGRAM_NAME, "Zava", SettingKind::Text},
}};

// The table's row of `setting`.
constexpr const PackageSetting& SettingRow(Setting setting) { return kSettings[static_cast<size_t>(setting)]; }

constexpr bool RowsInOrder() {
    for (size_t i = 0; i < kSettings.size(); ++i)
        if (static_cast<size_t>(kSettings[i].setting) != i) return false;
    return true;
}
static_assert(RowsInOrder(), "each setting's row sits at its own index");

}  // namespace gr
