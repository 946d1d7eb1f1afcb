// The operating-system version, shell folders, file versions and the Windows Installer
// engine check built on them.
#pragma once

#include <string>

namespace gr {

// An NT-family system of version 5.1 or later.
bool IsWindowsXpOrLater();

// The shell folder `folder` (a CSIDL value) followed by one backslash, appended to nothing:
// on success `path` is replaced; on failure it is left as it was.
bool GetSpecialFolderPath(int folder, std::wstring& path);

// The file version of `path`'s fixed version information; nothing is written on failure.
// The version library is loaded from the system folder at run time.
bool GetFileVersionNumbers(const std::wstring& path, unsigned& major, unsigned& minor);

// The Windows Installer engine is version 2.0 or later: always on XP and later; before
// that, by the version of MSI.DLL in the system folder.
bool CheckInstallerEngine();

}  // namespace gr
