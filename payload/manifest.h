// The package manifest: resource TOOLKIT 101, a text of "*"-separated fields read three at
// a time as records of id, file name and size.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace gr {

constexpr uint32_t kManifestId = 101;

// One manifest record.
struct CResourceFile {
    uint32_t id = 0;
    int32_t size = 0;
    std::wstring name;
};

using ManifestMap = std::map<uint32_t, CResourceFile>;

// Reads every record of `text` into `map`; a later record with the same id replaces an
// earlier one. A run of separators counts as one; separators at either end are ignored;
// ids and sizes read like wcstol. A record cut short after its id is dropped; one cut short
// after its name is kept with size 0. Always returns 0: a bad manifest yields fewer records.
uint32_t ParseManifest(std::wstring_view text, ManifestMap& map);

// Lower-cases the letters A to Z of `name` in place, then tells whether its first ".exe"
// lies after its first character.
bool IsExecutableName(std::wstring& name);

// A file name that stays inside the working folder: relative, no drive or stream (no ":"),
// no ".." element, not empty.
bool IsContainedName(std::wstring_view name);

}  // namespace gr
