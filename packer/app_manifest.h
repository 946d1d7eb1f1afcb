// The application manifest (RT_MANIFEST 1): the identity Windows gives the file and the
// rights it asks for when it starts.
#pragma once

#include <string>
#include <string_view>

namespace gr::pack {

// What the manifest asks Windows for when the file starts.
enum class Elevation {
    Administrator,  // requireAdministrator: the elevation prompt, always
    Highest,        // highestAvailable: the prompt for an administrator, none for others
    Invoker,        // asInvoker: no prompt; the caller's own rights
};

// "administrator", "highest" or "invoker"; false for anything else.
bool ParseElevation(std::string_view text, Elevation& elevation);
const char* ExecutionLevel(Elevation elevation);

// A product's name as an assembly name: ASCII letters, digits, ".", "-" and "_" kept,
// everything else dropped, no dot at either end; "Setup" when nothing is left.
std::string AssemblyName(std::wstring_view product);

struct ManifestIdentity {
    std::string name;         // an AssemblyName
    std::string version;      // four dotted numbers
    std::string description;  // UTF-8 text
    Elevation elevation = Elevation::Administrator;
};

// Writes `identity` into the program's manifest `text`: the first assemblyIdentity's name
// and version, the description and the requested execution level. False with `error` when
// the manifest lacks one of them.
bool RewriteManifest(std::string& text, const ManifestIdentity& identity, std::string& error);

}  // namespace gr::pack
