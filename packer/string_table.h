// String-table resources: blocks of 16 counted UTF-16 strings, block n holding the
// entries 16 * (n - 1) to 16 * n - 1. An empty string is an absent entry.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "packer/resource_tree.h"

namespace gr::pack {

using StringBlock = std::array<std::wstring, 16>;

// False when `data` is not a whole block.
bool DecodeStringBlock(const Bytes& data, StringBlock& block);
Bytes EncodeStringBlock(const StringBlock& block);

// Sets entry `id` to `text` (an empty text removes it) in `resources`' string table, in the
// block of `language`; a block left empty is removed.
bool SetString(ResourceList& resources, uint32_t id, const std::wstring& text, uint16_t language);
// The text of entry `id`, or nothing when the table has none.
std::optional<std::wstring> FindString(const ResourceList& resources, uint32_t id);

}  // namespace gr::pack
