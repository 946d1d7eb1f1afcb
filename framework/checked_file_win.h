// Opening a file by its name so that the handle is that name's file and no other: the one
// link-safe open of the program, for the log, the payload files and the removal of the
// working folder (base/file_refusal.h has the rule it applies).
#pragma once

#include <windows.h>

#include <string>

#include "base/file_refusal.h"
#include "framework/handles_win.h"

namespace gr {

enum class CheckedOutcome { Opened, Failed, Refused };

struct CheckedFile {
    FileHandle file;  // only when Opened
    CheckedOutcome outcome = CheckedOutcome::Failed;
    FileRefusal refusal = FileRefusal::None;  // why, when Refused; Folder when Failed at a folder
    DWORD error = 0;                          // the system's error, when Failed
};

enum class Creation {
    ExistingOnly,     // a missing name fails
    CreateIfMissing,  // a missing name is created, only ever as a new file
};

// Opens the file at `path` (a full path) with `access` and `share`, never following a link
// at its last name, and checks it before anyone writes, empties or deletes through it: a
// link, a folder, a file with other names, or a handle whose final path is not the final
// path of its folder (opened and resolved, so links above are allowed) followed by the
// name, is refused and closed (other names matter only to `use` Write). Letter case is ignored and a short name taken as its long
// one, as Windows compares names. A folder, or a file whose details cannot be read, is
// Failed (ERROR_DIRECTORY for a folder).
CheckedFile OpenCheckedFile(const std::wstring& path, DWORD access, DWORD share, Creation creation,
                            FileUse use = FileUse::Write);

// Empties the file open at `file` (at its start), when it holds anything; false when it
// cannot. An empty file, or a device that holds nothing, is left as it is.
bool EmptyFile(HANDLE file);

// The final path of an open file or folder, as the system resolved it ("\\?\C:\..."); empty
// when it cannot be read.
std::wstring FinalPathOf(HANDLE handle);

// The final path of the folder `folder`, opened as any program opens it (following links);
// empty when it cannot be opened or read.
std::wstring FolderFinalPath(const std::wstring& folder);

// Whether `file`, opened as `path`, is the entry `name` of the folder whose final path is
// `folderFinal`.
bool IsAtName(HANDLE file, const std::wstring& folderFinal, const std::wstring& name, const std::wstring& path);

// The full path of `typed` within the classic path limit (MAX_PATH, terminator included),
// against the current folder; an empty path is the current folder. A path that does not
// fit is refused, never cut: false.
bool FullPathOf(const std::wstring& typed, std::wstring& full);

}  // namespace gr
