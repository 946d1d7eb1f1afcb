#include "payload/free_space_win.h"

#include <windows.h>

namespace gr {

bool CheckDiskSpace(int64_t requiredMegabytes, FreeSpace& space) {
    space.requiredMegabytes = requiredMegabytes;
    space.freeMegabytes = 0;
    wchar_t temp[1024];
    DWORD length = ::GetTempPathW(1024, temp);
    std::wstring tempPath = (length > 0 && length < 1024) ? std::wstring(temp, length) : std::wstring();
    space.drive = DriveOf(tempPath);
    // A temporary folder on a network share has no drive letter: measure the share itself.
    const std::wstring& measured = space.drive.empty() ? tempPath : space.drive;
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExW(measured.c_str(), &available, nullptr, nullptr)) return false;
    space.freeMegabytes = MegabytesOf(available.QuadPart);
    return EnoughFreeSpace(space.freeMegabytes, space.requiredMegabytes);
}

}  // namespace gr
