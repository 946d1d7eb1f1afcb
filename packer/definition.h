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

#include "package/format.h"
#include "packer/product_identity.h"

namespace gr::pack {

namespace fs = std::filesystem;

// The program looks each manifest record up in a list: more payload files would slow its
// start (and the reading of a package from elsewhere) for nothing.
constexpr size_t kMostManifestRecords = 4096;
// A definition is a short text; a larger file is refused before it is read.
constexpr uint64_t kLargestDefinition = 16 * 1024 * 1024;

// Why a definition cannot be packed, as "FILE:LINE: message".
struct Refusal {
    std::string file;
    size_t line = 0;  // 0 when no line is to blame
    std::string message;
    std::string Text() const;
};

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

// What our own build's signing step puts into the signature; never packed.
struct Signing {
    bool sign = true;      // false with "signing off"
    std::string program;   // "signing-program": the program name the signature carries
    std::string link;      // "signing-link": its more-information link
};

struct Definition {
    fs::path path;
    // Each setting's text (shipped unless given); empty when "@none" leaves it out.
    std::array<std::wstring, kSettings.size()> settings;
    std::vector<PayloadFile> files;
    std::optional<Picture> icon, splash, banner;
    ProductIdentity identity;
    Signing signing;
    // The "@name" sources, in the order first given, when ReadOptions::anyInput is set.
    std::vector<std::string> inputNames;
    // Shapes only the tool's own tests give a package.
    bool manifest = true;
    std::map<uint32_t, int32_t> statedSizes;      // id -> size the manifest states
    std::string manifestExtra;                    // raw text after the last record
};

struct ReadOptions {
    // Also lets a test package leave out its product (then "Oakcrest", with the program
    // name "Zava") and its wizard, and spares it the warnings.
    bool allowTestShapes = false;
    std::map<std::string, fs::path> inputs;  // "@name" sources, from --with name=PATH
    bool anyInput = false;  // take every "@name" source, listing it in inputNames (no path)
};

// The text of `setting` in `definition`.
inline const std::wstring& SettingText(const Definition& definition, Setting setting) {
    return definition.settings[static_cast<size_t>(setting)];
}

// Reads the definition `text` (of the file `path`; sources are relative to its folder).
// Every fault found becomes a refusal; the definition is usable when there is none. A
// definition must name its product; `program-name` defaults to it.
void ReadDefinition(const fs::path& path, std::string_view text, const ReadOptions& options, Definition& definition,
                    std::vector<Refusal>& refusals);

// The manifest (payload resource kManifestId) for `definition`, with each payload file's size.
std::string ManifestText(const Definition& definition, const std::vector<uint64_t>& sizes);

// Whether every .NET version is excluded (every level negative): no machine can run it.
bool ExcludesEveryFramework(const Definition& definition);

}  // namespace gr::pack
