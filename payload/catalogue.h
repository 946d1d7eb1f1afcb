// The resource catalogue: the payload resources found in the program file, newest first,
// and the naming of each from the manifest.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/result_codes.h"
#include "package/manifest.h"

namespace gr {

// One payload resource of the program file.
struct CResource {
    uint32_t id = 0;            // integer resource id, below 65536
    int32_t expectedSize = 0;   // bytes, from the manifest
    std::wstring type;          // the resource type, kPayloadType
    void* module = nullptr;     // the module whose resources were enumerated
    std::wstring fileName;      // relative to the working folder; empty: not extracted
    uint32_t coding = 0;        // kCodingStored or kCodingLzma, from the coding table
    uint32_t checksum = 0;      // CRC-32 of the extracted bytes, when compressed

    // Lower-cases the file name in place and tells whether it names an executable.
    bool IsExecutable() { return IsExecutableName(fileName); }
};

// Entries are inserted at the head, so the catalogue runs opposite to enumeration order.
using ResourceCatalogue = std::vector<CResource>;

// Gives every catalogued resource with a manifest record its file name and expected size,
// and `wizardFile` the name of the last executable met (the one with the lowest id).
// Returns the log lines, in order.
std::vector<std::wstring> AssignFileNames(ResourceCatalogue& catalogue, const ManifestMap& manifest,
                                          std::wstring& wizardFile);

// Whether an extraction wrote the whole resource and it has the manifest's size.
uint32_t ExtractionResult(uint64_t written, uint64_t resourceSize, int32_t expectedSize);

}  // namespace gr
