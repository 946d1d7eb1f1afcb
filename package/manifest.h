// The package manifest: the payload resource kManifestId (package/format.h), a text of "*"-separated fields read three at
// a time as records of id, file name and size. The tool writes it and the program reads it,
// both through this file.
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

// The manifest's text from its bytes, each byte the character of that value; false, with
// `text` empty, when a byte lies beyond plain ASCII. The program reads a manifest in the
// machine's ANSI code page, so a byte beyond plain ASCII has no one meaning: it names one
// file on one machine and another elsewhere (in a double-byte code page it even takes the
// byte after it, a "\\" too, into another character). The tool writes plain ASCII only,
// and refuses to read any other manifest rather than guess which files it names.
bool DecodeManifest(std::string_view bytes, std::wstring& text);

// Reads every record of `text` into `map`; a later record with the same id replaces an
// earlier one. A run of separators counts as one; separators at either end are ignored;
// ids and sizes read like wcstol. A record cut short after its id is dropped; one cut short
// after its name is kept with size 0. Always returns 0: a bad manifest yields fewer records.
uint32_t ParseManifest(std::wstring_view text, ManifestMap& map);

// The manifest of `records`, in their order: "id*name*size" for each, joined by "*". Each
// name must be one the name rules allow (not empty, no "*"), so that ParseManifest reads
// the same records back; the tool refuses any other. Names are plain ASCII, which every
// code page the program may read the manifest in decodes alike.
std::wstring WriteManifest(const std::vector<CResourceFile>& records);

// Lower-cases the letters A to Z of `name` in place, then tells whether its first ".exe"
// lies after its first character.
bool IsExecutableName(std::wstring& name);

}  // namespace gr
