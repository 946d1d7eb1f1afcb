// The administrator checks as the program asks them of the machine.
#pragma once

#include <windows.h>

namespace gr {

// True unless string-table entry 145 of `module` is exactly "0".
bool IsAdministratorRequired(HINSTANCE module);

}  // namespace gr
