// The name rules of the package format: which file names a payload (and the sample wizard's
// package) may use, so that every name written stays inside its folder and names a file.
// The program, the packing tool and the sample wizard all judge names by these functions.
#pragma once

#include <string_view>

namespace gr {

// A character no Windows file name holds: a control character or one of < > " | ? *
// (":" aside: it names a drive or a stream, which IsPlainName refuses as well).
bool IsForbiddenNameCharacter(wchar_t c);

// One folder or file name: not empty, no forbidden character nor ":", no "\\" or "/", no
// dot or blank at its end (Windows drops those, so "a." would meet "a", and ".." climbs),
// and not a device (NUL, CON, PRN, AUX, COM0-COM9, LPT0-LPT9 with the superscripts 1 to 3
// counted as digits, CONIN$, CONOUT$, in any case and with any extension).
bool IsPlainName(std::wstring_view name);

// A file name that stays inside the working folder and names a file there: one or more
// plain names split at "\\" or "/".
bool IsContainedName(std::wstring_view name);

}  // namespace gr
