// The diagnostic log's file on disk: text in the thread's ANSI code page, written through a
// buffer to a file held open for this process alone.
#pragma once

#include "base/log.h"

namespace gr {

// Makes the file on disk the process log's file. Start-up calls it before anything is
// logged that must reach the file; text logged before is held back until a file opens.
void InstallDiskLogFile();

}  // namespace gr
