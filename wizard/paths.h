// Checks of the paths the wizard writes to: the install folder, and the paths inside it
// that the package names. Nothing outside the install folder is ever written.
#pragma once

#include <string>
#include <string_view>

namespace wiz {

// Equality of file names the way Windows compares them for the letters A to Z.
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

// One name of a path: not empty, not "." or "..", no character Windows refuses in a name,
// no trailing dot or blank (Windows drops them) and no device name such as CON or LPT1:
// the package format's rule for a plain name (package/names.h).
bool IsGoodName(std::wstring_view name);

// A path inside a folder: good names joined by "\", short enough to fit below the folder.
bool IsSafeRelativePath(std::wstring_view path);

struct FolderCheck {
    std::wstring folder;  // blanks around it dropped, "/" made "\", no trailing "\"
    std::wstring error;   // why it cannot be the install folder; empty when it can
};

// An install folder: a full path (C:\Folder or \\server\share\Folder) below the root.
FolderCheck CheckInstallFolder(std::wstring_view text);

// `folder` + "\" + `relative`.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view relative);

}  // namespace wiz
