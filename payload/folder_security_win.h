// The working folder's security: only Administrators, SYSTEM and the current user may
// change the folder or anything created in it.
#pragma once

#include <string>

#include "framework/handles_win.h"

namespace gr {

// That security as a descriptor; empty when it cannot be built.
LocalMemory OwnersOnlySecurity();

// Creates the folder (and any missing folder above it) with that security; a folder
// already there gets the same protection.
void CreateProtectedFolder(const std::wstring& path);

}  // namespace gr
