// Keeping planted DLLs out of the process. A program started from a downloads folder
// must never load a DLL that someone placed beside it or in the current directory.
#pragma once

#include "framework/handles_win.h"

namespace gr {

// Restricts the DLL search of this process to the system folder. Called first thing at
// start-up, before anything can load a DLL by name.
void RestrictDllSearch();

// Loads the system DLL `name` (a bare file name) from the system folder only.
Module LoadSystemLibrary(const wchar_t* name);

}  // namespace gr
