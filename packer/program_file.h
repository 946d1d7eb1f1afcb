// The program a package is made from: its headers and resources, checked to be ours,
// unsigned and without a package in it yet.
#pragma once

#include <string>

#include "packer/pe_image.h"
#include "packer/resource_tree.h"

namespace gr::pack {

struct ProgramFile {
    fs::path path;
    PeImage image;
    ResourceList resources;
    uint16_t language = 0x409;  // of the program's own resources
};

// Reads `path` as a program or a package; false with `error` when it is no program of ours.
bool ReadProgramFile(const fs::path& path, ProgramFile& program, std::string& error);
// Whether `resources` are the program's: its usage message, which every package keeps.
bool IsOurProgram(const ResourceList& resources);

}  // namespace gr::pack
