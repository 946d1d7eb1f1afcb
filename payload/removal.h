// When a deletion that failed is worth trying again: virus scanners and indexers hold
// freshly written files open for a moment.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gr {

constexpr uint32_t kRemovalRetryMilliseconds = 2000;  // the bound for one whole removal

// The most levels of folders a removal holds at once, the folder it removes counted as the
// first: deeper folders are not entered. A classic path of 260 characters holds at most 129
// levels, so the payload and any wizard working within classic paths stay well inside; a
// deeper tree (planted through extended-length paths) is left where it passes the limit,
// with a log line, instead of costing a time that grows with the square of its depth (each
// path the system resolves is as long as the tree is deep).
constexpr size_t kRemovalDepthLimit = 128;

// A file held open by someone else, or a folder whose last entries are still being
// deleted (only when everything in it was deleted), clears up by itself; a read-only file
// or a folder with something left in it does not.
inline bool IsPassingDeleteFailure(uint32_t error, bool isFolder, bool contentsDeleted) {
    constexpr uint32_t kSharingViolation = 32, kLockViolation = 33, kFolderNotEmpty = 145;
    if (error == kSharingViolation || error == kLockViolation) return true;
    return isFolder && contentsDeleted && error == kFolderNotEmpty;
}

}  // namespace gr
