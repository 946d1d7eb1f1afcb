// When a deletion that failed is worth trying again: virus scanners and indexers hold
// freshly written files open for a moment.
#pragma once

#include <cstdint>

namespace gr {

constexpr uint32_t kRemovalRetryMilliseconds = 2000;  // the bound for one whole removal

// A file held open by someone else, or a folder whose last entries are still being
// deleted (only when everything in it was deleted), clears up by itself; a read-only file
// or a folder with something left in it does not.
inline bool IsPassingDeleteFailure(uint32_t error, bool isFolder, bool contentsDeleted) {
    constexpr uint32_t kSharingViolation = 32, kLockViolation = 33, kFolderNotEmpty = 145;
    if (error == kSharingViolation || error == kLockViolation) return true;
    return isFolder && contentsDeleted && error == kFolderNotEmpty;
}

}  // namespace gr
