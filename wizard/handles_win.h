// Owners of the wizard's handles: the program's own, each releasing its handle when it
// goes out of scope.
#pragma once

#include "framework/handles_win.h"

namespace wiz {

using gr::FileHandle;
using gr::GdiObject;
using gr::LocalMemory;

}  // namespace wiz
