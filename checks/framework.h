// Whether an acceptable .NET Framework is installed, and which one to ask for when none is.
//
// Seven package settings (string-table entries 138 to 144) give, for .NET 2.0, 3.0, 3.5,
// 4.0 Client, 4.0 Full, 4.5 Client and 4.5 Full, the lowest acceptable service-pack
// level, or a negative number to exclude the version. The versions are tried in that order
// in the 32-bit view of the registry; the first one installed at a sufficient level wins.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/result_codes.h"

namespace gr {

constexpr size_t kFrameworkCount = 7;

// The registry facts the check reads, under HKEY_LOCAL_MACHINE. A failed read is false.
class RegistryReader {
public:
    virtual ~RegistryReader() = default;
    // A 32-bit number (the stored type is not looked at).
    virtual bool ReadNumber(const wchar_t* key, const wchar_t* value, uint32_t& number) const = 0;
    // A text of at most 260 bytes with its terminator.
    virtual bool ReadText(const wchar_t* key, const wchar_t* value, std::wstring& text) const = 0;
};

// The framework to install when none is acceptable.
struct RequiredFramework {
    std::wstring name = L"Unknown .NET Version";
    int32_t servicePack = 0;
    int32_t majorVersion = 2;
};

struct FrameworkCheck {
    bool satisfied = false;
    std::vector<std::wstring> logLines;  // in order
};

using FrameworkEntries = std::array<std::wstring, kFrameworkCount>;

// Runs the check over the entry texts; registry reads happen only for versions that the
// entries accept. On failure `required` is described from the entries (unchanged when
// every entry excludes its version).
FrameworkCheck CheckFrameworkRequirement(const FrameworkEntries& entries, const RegistryReader& registry,
                                         RequiredFramework& required);

// The first acceptable row's name, major version and level; `required` is left as it was
// when no entry is 0 or more.
void DescribeRequiredFramework(const FrameworkEntries& entries, RequiredFramework& required);

// A version text ("3.0.4506.26") against a threshold, component by component, signed;
// pieces are split at dots with empty pieces skipped; missing components are 0.
bool VersionAtLeast(const std::wstring& text, const std::array<int32_t, 4>& threshold);

}  // namespace gr
