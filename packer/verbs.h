// The tool's verbs besides build: looking into a package and writing out its payload.
#pragma once

#include <filesystem>

namespace gr::pack {

// Prints what `package` carries, as text or as JSON; never runs it. Returns the exit code.
int InspectPackage(const std::filesystem::path& package, bool json);
// Writes the payload of `package` into `folder` as the program would, with its refusals.
int ExtractPackage(const std::filesystem::path& package, const std::filesystem::path& folder);

}  // namespace gr::pack
