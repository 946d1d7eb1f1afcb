// The product's identity in its package: the definition's keys `version`, `company`,
// `description`, `copyright` and `elevation`, and the version resource and application
// manifest written from them, so that the file names the product, not this program.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "packer/app_manifest.h"
#include "packer/version_info.h"

namespace gr::pack {

class ResourceList;

struct ProductIdentity {
    std::optional<VersionNumbers> version;
    std::wstring versionText;  // the version as given, its numbers without leading zeros
    std::optional<std::wstring> company, description, copyright;
    Elevation elevation = Elevation::Administrator;
    size_t elevationLine = 0;  // 0 when not given
};

// Whether `key` is one of the identity's keys.
bool IsIdentityKey(std::string_view key);
// Reads the value of identity key `key` given on line `line`; returns why it is refused,
// or an empty text.
std::string ReadIdentityKey(std::string_view key, std::string_view value, size_t line, ProductIdentity& identity);

// Rewrites the version resource and the application manifest of `resources` for the product
// `product` (empty: the program's own name stays) shipped as the file `output`. False with
// `error` when the program lacks either.
bool ApplyProductIdentity(ResourceList& resources, const ProductIdentity& identity, const std::wstring& product,
                          const std::filesystem::path& output, std::string& error);

}  // namespace gr::pack
