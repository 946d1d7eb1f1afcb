// The free-space check of start-up, on the drive that will hold the payload.
#pragma once

#include <cstdint>
#include <string>

#include "payload/working_folder.h"

namespace gr {

// Whether the drive of the working folder's root `root` has more free megabytes than
// `requiredMegabytes` (the package's entry 103): 0, or kNotEnoughSpace (also when the
// drive cannot be measured). Fills `space` either way. A root that is a device is no place
// for a folder, whatever its space: kRootNotFolder, with a log line.
uint32_t CheckDiskSpace(int64_t requiredMegabytes, const std::wstring& root, FreeSpace& space);

}  // namespace gr
