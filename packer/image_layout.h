// Writing a program file again with a new resource section: the sections before the old
// one stay where they are, the relocations that followed it move up into its place, and
// the new resources become the last section. Headers are fixed to match (section table,
// image size, data directories, checksum); nothing carries a time of its own.
#pragma once

#include <string>

#include "packer/program_file.h"

namespace gr::pack {

// Writes `program` with `resources` in place of its own to `out`. With `pageAligned` the
// resource section starts on a page in the file, so the loader can map it rather than
// read it. False with `error` when the program's sections cannot be laid out again.
bool WriteImage(const ProgramFile& program, const ResourceList& resources, bool pageAligned, File& out,
                std::string& error);

}  // namespace gr::pack
