// The working folder: its name, the free-space rule and the joining of paths within the
// program's path limit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gr {

constexpr size_t kPathLimit = 260;  // characters, terminator included
constexpr uint32_t kNotEnoughSpace = 0x80030070;
constexpr uint32_t kFailed = 0x80004005;  // E_FAIL
constexpr wchar_t kZeroGuidText[] = L"{00000000-0000-0000-0000-000000000000}";
constexpr wchar_t kUnformattableGuidText[] = L"{00000001-0000-0000-0000-000000000001}";

// The free-space check's figures.
struct FreeSpace {
    int64_t requiredMegabytes = 0;  // string-table entry 103
    uint64_t freeMegabytes = 0;     // found on the drive; 0 until measured
    std::wstring drive;             // the drive of the user's temporary path, such as "C:"
};

// `folder` and `name` joined with exactly one backslash (also after a bare drive such as
// "D:"); a "/" in `name` becomes "\\", so the path splits as the name check split it.
// False, with `path` untouched, when the result would not fit the path limit.
bool JoinPath(std::wstring_view folder, std::wstring_view name, std::wstring& path);

// The security of a working folder, in SDDL: a protected DACL that lets only
// Administrators, SYSTEM and the user `userSid` (its text form) in, down the whole tree.
std::wstring OwnersOnlySecurityText(std::wstring_view userSid);

// The drive part of a path ("C:" of "C:\Users\..."); empty when it has none.
std::wstring DriveOf(std::wstring_view path);

// Free megabytes (of 1024 * 1024 bytes, rounded down) from the bytes available.
inline uint64_t MegabytesOf(uint64_t bytes) { return bytes / 1024 / 1024; }

// The drive has enough room only when its free megabytes strictly exceed the requirement.
inline bool EnoughFreeSpace(uint64_t freeMegabytes, int64_t requiredMegabytes) {
    return requiredMegabytes < 0 || freeMegabytes > static_cast<uint64_t>(requiredMegabytes);
}

}  // namespace gr
