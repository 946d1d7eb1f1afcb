// The tool's verbs besides build: looking into a package, writing out its payload,
// embedding an information block in a signed package, and telling a build what a
// definition needs.
#pragma once

#include <filesystem>

namespace gr::pack {

// Prints what `package` carries, as text or as JSON; never runs it. Returns the exit code.
int InspectPackage(const std::filesystem::path& package, bool json);
// Writes the payload of `package` into `folder` as the program would, with its refusals.
int ExtractPackage(const std::filesystem::path& package, const std::filesystem::path& folder);
// Puts the bytes of the file `information` into the signature of `package` as the block the
// program writes to info.xml, replacing an earlier one; the signature stays valid.
int EmbedInformation(const std::filesystem::path& package, const std::filesystem::path& information);
// Prints, as JSON, what building `definition` needs: the files it names ("inputs"), the
// names of the build's own programs it names as "@name" ("programs", each to be given with
// --with name=PATH) and what the signing step puts into the signature ("signing": "sign",
// "program", "link"). Refuses, as build would, a definition that cannot be packed.
int PrintNeeds(const std::filesystem::path& definition, bool allowTestShapes);

}  // namespace gr::pack
