// Whether the package asks for administrator rights.
#pragma once

#include <cstdint>
#include <string_view>

namespace gr {

// String-table entry holding the package's administrator requirement.
constexpr unsigned kAdministratorRequiredEntry = 145;

// Rights are required unless the entry's text is exactly "0": the comparison is of text,
// so "00", " 0" and an empty or missing entry all mean required.
inline bool AdministratorRequiredByEntry(std::wstring_view entryText) { return entryText != L"0"; }

}  // namespace gr

namespace gr {

// Administrator rights are required and the user does not have them.
constexpr uint32_t kNotAdministrator = 0x80110413;

}  // namespace gr
