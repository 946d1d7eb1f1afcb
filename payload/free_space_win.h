// The free-space check of start-up, on the drive of the user's temporary path.
#pragma once

#include <cstdint>

#include "payload/working_folder.h"

namespace gr {

// Whether the drive of the user's temporary path has more free megabytes than
// `requiredMegabytes` (the package's entry 103). Fills `space` either way.
bool CheckDiskSpace(int64_t requiredMegabytes, FreeSpace& space);

}  // namespace gr
