// Writing a program file again with a new resource section: the sections before the old
// one stay where they are, the relocations that followed it move up into its place, and
// the new resources become the last section. Headers are fixed to match (section table,
// image size, data directories, checksum); nothing carries a time of its own.
#pragma once

#include <string>
#include <vector>

#include "packer/program_file.h"

namespace gr::pack {

// A section of the program: where it was, and where the new layout puts it.
struct PlacedSection {
    Section from;
    Section to;
};

// The program's sections but its resources, in their new places (in the section table's
// order), and in `resources` the old resource section with its new name, address and file
// offset (its sizes still the old ones). False with `error` when a section that cannot
// move follows the resources or the sections overlap them in the file.
bool PlaceSections(const PeImage& image, std::vector<PlacedSection>& placed, Section& resources, std::string& error);

// Writes `program` with `resources` in place of its own to `out`. With `pageAligned` the
// resource section starts on a page in the file, so the loader can map it rather than
// read it. False with `error` when the program's sections cannot be laid out again.
bool WriteImage(const ProgramFile& program, const ResourceList& resources, bool pageAligned, File& out,
                std::string& error);

}  // namespace gr::pack
