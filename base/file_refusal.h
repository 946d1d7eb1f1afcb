// The one rule for a file that the program writes, empties or deletes by its name (the
// log, the payload files, what the working folder's removal deletes): its bytes must land
// in that file alone. Whoever can write the file's folder must not make the program write
// into, or delete, another file: not through a symbolic link or a junction at the name,
// not through a link the system shows as the file it names, not through a hard link. A
// link in a parent folder is allowed (a redirected or linked folder is legitimate).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gr {

// The file attributes, as Windows reports them, that the rule reads.
constexpr uint32_t kAttributeDirectory = 0x10;      // FILE_ATTRIBUTE_DIRECTORY
constexpr uint32_t kAttributeReparsePoint = 0x400;  // FILE_ATTRIBUTE_REPARSE_POINT: a link

// What was opened at a name.
struct OpenedFacts {
    uint32_t attributes = 0;  // of the thing at the name itself, never followed through a link
    uint32_t links = 1;       // its number of names
    bool atItsName = true;    // the path it really opened is the folder's own followed by the name
};

enum class FileRefusal {
    None,
    Folder,      // a folder is no file; callers that only want a file treat it as "cannot open"
    Link,        // a link at the name: its target would be written
    Elsewhere,   // the name opened another file (a link shown as a plain file)
    OtherNames,  // a file with other names elsewhere, whose bytes would change there too
};

// What the program does through the name: writing (or emptying) lands in every name of the
// file, deleting takes away only this one name, so other names do not matter to it.
enum class FileUse { Write, Delete };

FileRefusal RefusalOf(const OpenedFacts& facts, FileUse use);

// The reason as the log words it ("it is a link"); empty for None.
const wchar_t* RefusalText(FileRefusal refusal);

// The final path that opening `name` in the folder whose final path is `folderFinal` must
// give: the two joined with exactly one backslash.
std::wstring ExpectedFinalPath(std::wstring_view folderFinal, std::wstring_view name);

// `path` split at its last backslash into the folder (a drive's root keeps its backslash:
// "C:\") and the name. False when there is no folder or no name.
bool SplitFolderAndName(std::wstring_view path, std::wstring& folder, std::wstring& name);

}  // namespace gr
