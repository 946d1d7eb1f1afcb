// The package manifest: resource TOOLKIT 101, a text of "*"-separated fields read three at
// a time as records of id, file name and size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "package/format.h"

namespace gr {

// One manifest record.
struct CResourceFile {
    uint32_t id = 0;
    int32_t size = 0;
    std::wstring name;
};

// The manifest's records by id. A package carries a handful, so a list searched from the
// start serves, and spares the program a tree's code.
class ManifestMap {
public:
    // The record with `id`, added (empty but for its id) when there is none.
    CResourceFile& operator[](uint32_t id);
    // The record with `id`, or null.
    const CResourceFile* Find(uint32_t id) const;
    size_t count(uint32_t id) const { return Find(id) != nullptr ? 1 : 0; }
    size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }

private:
    std::vector<CResourceFile> records_;
};

// Reads every record of `text` into `map`; a later record with the same id replaces an
// earlier one. A run of separators counts as one; separators at either end are ignored;
// ids and sizes read like wcstol. A record cut short after its id is dropped; one cut short
// after its name is kept with size 0. Always returns 0: a bad manifest yields fewer records.
uint32_t ParseManifest(std::wstring_view text, ManifestMap& map);

// Lower-cases the letters A to Z of `name` in place, then tells whether its first ".exe"
// lies after its first character.
bool IsExecutableName(std::wstring& name);

// A file name that stays inside the working folder and names a file there: one or more
// elements split at "\\" or "/", each one not empty, without a drive, stream or wildcard
// (none of the characters : < > " | ? * nor a control character), not ending in a dot or
// a blank (so no "." or ".." and no two names that Windows would make one), and not a
// device (NUL, CON, PRN, AUX, COM0-COM9, LPT0-LPT9, CONIN$, CONOUT$, in any case and with
// any extension).
bool IsContainedName(std::wstring_view name);

}  // namespace gr
