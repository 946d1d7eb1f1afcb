// Whether the package asks for administrator rights.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/result_codes.h"

namespace gr {

// Rights are required unless the entry's text is exactly "0": the comparison is of text,
// so "00", " 0" and an empty or missing entry all mean required.
inline bool AdministratorRequiredByEntry(std::wstring_view entryText) { return entryText != L"0"; }

}  // namespace gr
