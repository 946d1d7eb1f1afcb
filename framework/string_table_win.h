// Reading string-table entries of a module.
#pragma once

#include <windows.h>

#include <string>

namespace gr {

// The text of string-table entry `id` of `module`; empty when the entry is missing or empty.
std::wstring LoadStringResource(HINSTANCE module, UINT id);

}  // namespace gr
