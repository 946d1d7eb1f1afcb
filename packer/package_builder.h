// The build verb: a package made from the program with no package and a definition.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "packer/definition.h"

namespace gr::pack {

struct BuildRequest {
    fs::path definition;
    fs::path output;
    fs::path program;
    ReadOptions options;
    bool strict = false;  // warnings refuse the package
};

// Writes the package; on any refusal prints each (one line) and leaves no output file.
// Warnings are lines starting "warning: " (refusals when `strict`); the wizard's name goes
// to standard output. Returns the tool's exit code: 0 written, 1 refused.
int BuildPackage(const BuildRequest& request);

}  // namespace gr::pack
