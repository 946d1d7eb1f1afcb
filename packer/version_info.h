// The version resource (VS_VERSIONINFO): the fixed file and product versions and the
// strings Explorer's properties, the Task Manager and virus scanners show for the file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "packer/bytes.h"

namespace gr::pack {

using VersionNumbers = std::array<uint16_t, 4>;

struct VersionInfo {
    VersionNumbers fileVersion{};
    VersionNumbers productVersion{};
    // Name and value, in order: "CompanyName", "FileDescription", ...
    std::vector<std::pair<std::wstring, std::wstring>> strings;

    const std::wstring* Find(std::wstring_view name) const;
    void Set(std::wstring_view name, std::wstring value);  // replaces, or adds at the end
};

// "1", "1.2", "1.2.3" or "1.2.3.4", each a whole number 0-65535; the parts left out are 0.
// False for anything else.
bool ParseVersion(std::string_view text, VersionNumbers& numbers);
// "1.2.3.4".
std::wstring VersionText(const VersionNumbers& numbers);

// The resource's bytes: fixed information for an application on Windows NT, one string
// table for US English in UTF-16 (040904b0) and the matching translation entry.
Bytes EncodeVersionInfo(const VersionInfo& info);
// Reads what EncodeVersionInfo writes (and what resource compilers write); false when
// `data` does not hold together.
bool DecodeVersionInfo(const Bytes& data, VersionInfo& info);

}  // namespace gr::pack
