// The compressed payload in the program: its coding table read into the catalogue, and a
// compressed resource unpacked into its file.
#pragma once

#include <windows.h>

#include <cstddef>

#include "payload/catalogue.h"

namespace gr {

// Reads the coding table (resource CODING 101) into the catalogue. 0 when there is none
// (every file stored) or it was read; E_FAIL with a log line when it is damaged.
uint32_t ReadCodingTable(HMODULE module, ResourceCatalogue& catalogue);

// Unpacks the resource's `size` bytes at `data` into `file`, in pieces of 1 MB. 0, or E_FAIL
// with a log line naming the file and the fault.
uint32_t UnpackToFile(const CResource& resource, const unsigned char* data, size_t size, HANDLE file);

}  // namespace gr
