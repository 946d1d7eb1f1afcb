// The tool's verbs besides build: looking into a package, writing out its payload, and
// embedding an information block in a signed package.
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

}  // namespace gr::pack
