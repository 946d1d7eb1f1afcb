// The working folder: its name, the free-space rule and the joining of paths within the
// program's path limit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/file_refusal.h"
#include "base/result_codes.h"

namespace gr {

constexpr size_t kPathLimit = 260;  // characters, terminator included
constexpr wchar_t kZeroGuidText[] = L"{00000000-0000-0000-0000-000000000000}";
constexpr wchar_t kUnformattableGuidText[] = L"{00000001-0000-0000-0000-000000000001}";

// The free-space check's figures.
struct FreeSpace {
    int64_t requiredMegabytes = 0;  // string-table entry 103
    uint64_t freeMegabytes = 0;     // found on the drive; 0 until measured
    std::wstring drive;             // the drive of the working folder's root, such as "C:"
};

// Where the free-space check looks for a working folder root: the drive to name in
// messages ("D:", or "\\server\share" for a share) and the path to measure ("D:\",
// "\\server\share\"). Both empty when the root names neither.
struct SpaceTarget {
    std::wstring drive;
    std::wstring measured;
};
SpaceTarget SpaceCheckTarget(std::wstring_view root);

// Whether the full path `root` names a device ("\\.\NUL", "\\.\COM1": what the full-path
// rules make of a device name anywhere in a path), which can hold no folder.
bool IsDeviceRoot(std::wstring_view root);

// `folder` and `name` joined with exactly one backslash (also after a bare drive such as
// "D:"); a "/" in `name` becomes "\\", so the path splits as the name check split it.
// False, with `path` untouched, when the result would not fit the path limit.
bool JoinPath(std::wstring_view folder, std::wstring_view name, std::wstring& path);

// Whether the folders above the file `path` can be made: the system makes no folder
// whose path has more than kFolderPathLimit - 1 characters, though a file path may have
// up to kPathLimit - 1.
constexpr size_t kFolderPathLimit = 248;  // MAX_PATH - 12, terminator included
bool FitsFolderLimit(std::wstring_view path);

// The security of a working folder, in SDDL: a protected DACL that lets only
// Administrators, SYSTEM and the user `userSid` (its text form) in, down the whole tree.
std::wstring OwnersOnlySecurityText(std::wstring_view userSid);

// The drive part of a path ("C:" of "C:\Users\..."); empty when it has none.
std::wstring DriveOf(std::wstring_view path);

// Security identifiers in text form, as a folder's owner is compared.
constexpr wchar_t kAdministratorsSid[] = L"S-1-5-32-544";
constexpr wchar_t kSystemSid[] = L"S-1-5-18";

// What is known of something already standing at the working folder's path.
struct ExistingFolder {
    uint32_t attributes = 0;  // the file attributes of the thing itself, never of a link's target
    std::wstring owner;       // its owner's security identifier; empty when it cannot be read
    bool inUse = false;       // another run holds it (it cannot be opened for deletion)
};

// Why such a thing may not become the working folder, or nullptr when it may (it is then
// emptied and made afresh): a link, a file, a folder whose owner is not Administrators,
// SYSTEM or the user `userSid` running the program, since anyone else may have planted it,
// or a folder another run is using (a run holds its folder until it removes it).
const wchar_t* ExistingFolderRefusal(const ExistingFolder& found, std::wstring_view userSid);


// Free megabytes (of 1024 * 1024 bytes, rounded down) from the bytes available.
inline uint64_t MegabytesOf(uint64_t bytes) { return bytes / 1024 / 1024; }

// The drive has enough room only when its free megabytes strictly exceed the requirement.
inline bool EnoughFreeSpace(uint64_t freeMegabytes, int64_t requiredMegabytes) {
    return requiredMegabytes < 0 || freeMegabytes > static_cast<uint64_t>(requiredMegabytes);
}

}  // namespace gr
