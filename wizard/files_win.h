// Whole-file reads and writes and folder creation; each answers 0 or the Win32 error.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace wiz {

// Reads the file into `bytes`; files over 16 MB are refused (ERROR_FILE_TOO_LARGE).
DWORD ReadWholeFile(const std::wstring& path, std::string& bytes);

// Writes `bytes` as the file's whole content, replacing a file that is there.
DWORD WriteWholeFile(const std::wstring& path, std::string_view bytes);

// Makes `folder` and every missing folder above it.
DWORD CreateFolderPath(const std::wstring& folder);

// The full path of this program's file.
std::wstring OwnPath();

}  // namespace wiz
