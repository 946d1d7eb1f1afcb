// What a package carries, read without running it: its settings, its payload as the
// program would name it, its pictures, its signature and its embedded information.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "packer/authenticode_digest.h"
#include "packer/branding.h"
#include "packer/program_file.h"
#include "payload/catalogue.h"
#include "package/manifest.h"

namespace gr::pack {

struct PayloadEntry {
    uint32_t id = 0;
    std::wstring name;                   // from the manifest, as it is written there
    int32_t statedSize = 0;              // from the manifest
    const Resource* resource = nullptr;  // null when the package has none with this id
};

struct PackageContents {
    ProgramFile program;
    std::vector<std::optional<std::wstring>> settings;  // one per kSettings entry
    bool hasManifest = false;
    std::vector<PayloadEntry> records;        // in the manifest's order of ids
    std::vector<const Resource*> unrecorded;  // payload resources without a record
    std::string icon;                         // the icon group, described
    std::optional<BitmapInfo> splash, banner;
    bool isSigned = false;
    std::string signer;                // the signer's subject, when it can be read
    DigestCheck digest;                // of a signed package: whether it is unchanged since signing
    std::optional<Bytes> information;  // the embedded information block
};

// Reads `path`; false with `error` when it is no program of ours.
bool ReadPackageContents(const fs::path& path, PackageContents& contents, std::string& error);

// The payload in the order the program extracts it (highest id first), each entry named
// as the program names it (executable names lower-cased; no name without a manifest
// record). False with `error` when there is no payload or its manifest cannot be read.
bool PayloadCatalogue(const PackageContents& contents, ResourceCatalogue& catalogue, std::string& error);

// The payload resources' type, kPayloadType.
const ResourceKey& PayloadType();

// A manifest's bytes are bounded to match kMostManifestRecords: so many records of the
// longest name and size fit.
constexpr uint64_t kLargestManifest = 1024 * 1024;

// Reads the manifest resource as the program reads it into `map`; false with `why` when it
// cannot be read, or is over kLargestManifest bytes or kMostManifestRecords records.
bool ReadManifest(const Resource& manifest, ManifestMap& map, std::string& why);

}  // namespace gr::pack
