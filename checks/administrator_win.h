// The administrator checks as the program asks them of the machine.
#pragma once

#include <windows.h>

namespace gr {

// True when the calling thread's effective token is a member of the Administrators
// group. Any failure of the query counts as not an administrator.
bool IsUserAdministrator();

}  // namespace gr
