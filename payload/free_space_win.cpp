#include "payload/free_space_win.h"

#include <windows.h>

#include "base/log.h"

namespace gr {

uint32_t CheckDiskSpace(int64_t requiredMegabytes, const std::wstring& root, FreeSpace& space) {
    space.requiredMegabytes = requiredMegabytes;
    space.freeMegabytes = 0;
    if (IsDeviceRoot(root)) {
        LogFormat(L"Working folder root '%s' is not a folder\n", root);
        return kRootNotFolder;
    }
    SpaceTarget target = SpaceCheckTarget(root);
    space.drive = target.drive;
    // A root that names no drive nor share (never so after the options pass) is measured itself.
    const std::wstring& measured = target.measured.empty() ? root : target.measured;
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExW(measured.c_str(), &available, nullptr, nullptr)) return kNotEnoughSpace;
    space.freeMegabytes = MegabytesOf(available.QuadPart);
    return EnoughFreeSpace(space.freeMegabytes, space.requiredMegabytes) ? 0 : kNotEnoughSpace;
}

}  // namespace gr
