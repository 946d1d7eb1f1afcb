// The working folder's security: only Administrators, SYSTEM and the current user may
// change the folder or anything created in it; and what is found at its path before it is
// made, seen without following a link.
#pragma once

#include <string>

#include "framework/handles_win.h"
#include "payload/working_folder.h"

namespace gr {

// The security identifier of the user running the program, in text form; empty when it
// cannot be read.
std::wstring CurrentUserSid();

// That security as a descriptor; empty when it cannot be built.
LocalMemory OwnersOnlySecurity();

// Creates the folder `path` (one level) with that security. False, with the error left for
// GetLastError, when it cannot, also when something already stands there.
bool CreateSecuredFolder(const std::wstring& path);

// What stands at `path`: its attributes (a link counts as one whether its handle or its
// name shows it), its owner, and whether another run holds it. False when nothing can be
// opened there.
bool InspectExisting(const std::wstring& path, ExistingFolder& found);

// Holds the folder `path` so that nobody can delete it, rename it or put a link in its
// place (it is opened without delete sharing) while the files in it stay free to use; a
// second run that finds it held refuses it before it deletes anything. An empty handle
// when it cannot be opened.
FileHandle HoldFolder(const std::wstring& path);

}  // namespace gr
