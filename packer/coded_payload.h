// Reading a package's compressed payload without running it: the coding table, each
// stream's header, and a stream unpacked into a file by the program's own decoder.
#pragma once

#include <cstdint>

#include "packer/file_io.h"
#include "packer/resource_tree.h"
#include "payload/catalogue.h"
#include "payload/lzma_decoder.h"
#include "payload/coding_table.h"

namespace gr::pack {

// The package's coding table; empty when it has none. False when it has one that the
// program refuses.
bool ReadCodingTable(const ResourceList& resources, Bytes& table);

// The coding of payload `id` (kCodingStored when the table has no record of it).
uint32_t CodingOf(const Bytes& table, uint32_t id);

// The header of the compressed resource; false when it is shorter than one.
bool ReadLzmaHeaderOf(const ResourceData& data, LzmaHeader& header);

// Unpacks the compressed resource of `entry` into `out` as the program does, reading the
// stream from the package in pieces of 1 MB.
UnpackFault UnpackResource(const ResourceData& data, const CResource& entry, File& out, uint64_t& written);

}  // namespace gr::pack
