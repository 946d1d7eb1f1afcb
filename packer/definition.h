// A package definition: a text file of "key value" lines naming the package's settings,
// its payload files and its pictures. Reading it checks everything that can be checked
// without opening the files it names.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "packer/product_identity.h"
#include "res/resource_ids.h"

namespace gr::pack {

namespace fs = std::filesystem;

// The program looks each manifest record up in a list: more payload files would slow its
// start (and the reading of a package from elsewhere) for nothing.
constexpr size_t kMostManifestRecords = 4096;

// Why a definition cannot be packed, as "FILE:LINE: message".
struct Refusal {
    std::string file;
    size_t line = 0;  // 0 when no line is to blame
    std::string message;
    std::string Text() const;
};

enum class SettingKind { Text, Megabytes, Level, Flag };

struct SettingKey {
    const char* key;
    uint32_t entry;  // string-table entry
    const char* shipped;
    SettingKind kind;
};

inline constexpr std::array<SettingKey, 12> kSettings = {{
    {"processor", IDS_PROCESSOR_TYPE, "AnyCPU", SettingKind::Text},
    {"product", IDS_PRODUCT_NAME, "Oakcrest", SettingKind::Text},
    {"required-space", IDS_REQUIRED_SPACE, "500", SettingKind::Megabytes},
    {"dotnet-2.0", IDS_FRAMEWORK_LEVEL_FIRST, "0", SettingKind::Level},
    {"dotnet-3.0", IDS_FRAMEWORK_LEVEL_FIRST + 1, "0", SettingKind::Level},
    {"dotnet-3.5", IDS_FRAMEWORK_LEVEL_FIRST + 2, "0", SettingKind::Level},
    {"dotnet-4.0-client", IDS_FRAMEWORK_LEVEL_FIRST + 3, "0", SettingKind::Level},
    {"dotnet-4.0-full", IDS_FRAMEWORK_LEVEL_FIRST + 4, "0", SettingKind::Level},
    {"dotnet-4.5-client", IDS_FRAMEWORK_LEVEL_FIRST + 5, "0", SettingKind::Level},
    {"dotnet-4.5-full", IDS_FRAMEWORK_LEVEL_FIRST + 6, "0", SettingKind::Level},
    {"administrator", IDS_ADMIN_REQUIRED, "1", SettingKind::Flag},
    {"program-name", IDS_PROGRAM_NAME, "Zava", SettingKind::Text},
}};

// The index in kSettings of string-table entry `entry` (one of theirs).
constexpr size_t SettingIndex(uint32_t entry) {
    size_t index = 0;
    while (index + 1 < kSettings.size() && kSettings[index].entry != entry) ++index;
    return index;
}

// A payload file (id and name set) or, in test packages, a payload resource without a
// manifest record (`name` empty; `resourceName` set for one with a string name).
struct PayloadFile {
    uint32_t id = 0;
    std::wstring resourceName;
    fs::path source;
    std::wstring name;
    size_t line = 0;
    bool inManifest = true;
};

struct Picture {
    fs::path source;
    size_t line = 0;
};

struct Definition {
    fs::path path;
    // Each setting's text (shipped unless given); empty when "@none" leaves it out.
    std::array<std::wstring, kSettings.size()> settings;
    std::vector<PayloadFile> files;
    std::optional<Picture> icon, splash, banner;
    ProductIdentity identity;
    // Shapes only the tool's own tests give a package.
    bool manifest = true;
    std::map<uint32_t, std::string> statedSizes;  // id -> size the manifest states
    std::string manifestExtra;                    // raw text after the last record
};

struct ReadOptions {
    // Also lets a test package leave out its product (then "Oakcrest", with the program
    // name "Zava") and its wizard, and spares it the warnings.
    bool allowTestShapes = false;
    std::map<std::string, fs::path> inputs;  // "@name" sources, from --with name=PATH
};

// Reads the definition `text` (of the file `path`; sources are relative to its folder).
// Every fault found becomes a refusal; the definition is usable when there is none. A
// definition must name its product; `program-name` defaults to it.
void ReadDefinition(const fs::path& path, std::string_view text, const ReadOptions& options, Definition& definition,
                    std::vector<Refusal>& refusals);

// The manifest (resource TOOLKIT 101) for `definition`, with each payload file's size.
std::string ManifestText(const Definition& definition, const std::vector<uint64_t>& sizes);

// Whether every .NET version is excluded (every level negative): no machine can run it.
bool ExcludesEveryFramework(const Definition& definition);

}  // namespace gr::pack
