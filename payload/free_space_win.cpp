#include "payload/free_space_win.h"

#include <windows.h>

namespace gr {

bool CheckDiskSpace(int64_t requiredMegabytes, const std::wstring& root, FreeSpace& space) {
    space.requiredMegabytes = requiredMegabytes;
    space.freeMegabytes = 0;
    SpaceTarget target = SpaceCheckTarget(root);
    space.drive = target.drive;
    // A root that names no drive nor share (never so after the options pass) is measured itself.
    const std::wstring& measured = target.measured.empty() ? root : target.measured;
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExW(measured.c_str(), &available, nullptr, nullptr)) return false;
    space.freeMegabytes = MegabytesOf(available.QuadPart);
    return EnoughFreeSpace(space.freeMegabytes, space.requiredMegabytes);
}

}  // namespace gr
