// The program's own file.
#pragma once

#include <string>

namespace gr {

// The full path of the running executable, whatever its length; empty on failure.
std::wstring GetOwnModulePath();

}  // namespace gr
