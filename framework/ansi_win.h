// Text between the program's wide strings and the thread's ANSI code page: the log is
// written in it, the package manifest, the embedded information and the about box's notice
// are read from it.
#pragma once

#include <string>
#include <string_view>

namespace gr {

// The text in the thread's ANSI code page, whole: the size is asked first, so a text whose
// characters take several bytes each is never cut. Empty when it cannot be converted.
std::string ToAnsi(std::wstring_view text);

// The bytes read in the thread's ANSI code page, all of them (zero bytes included).
// Empty when they cannot be converted.
std::wstring FromAnsi(std::string_view bytes);

}  // namespace gr
