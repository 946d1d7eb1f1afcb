// Opening a payload file for writing so that its bytes land only in that file: never
// through a link, nor into a file that has other names elsewhere.
#pragma once

#include <string>

#include "framework/handles_win.h"

namespace gr {

// Opens `path` for writing, created or, when a plain file of its own is already there,
// emptied. A link, a folder or a file with other names (hard links) at `path` is refused
// with a log line, and nothing is written to it. An empty handle when refused or failed.
FileHandle OpenPayloadFile(const std::wstring& path);

}  // namespace gr
