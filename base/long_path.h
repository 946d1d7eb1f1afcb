// Paths past the classic length limit, in the form the file functions take at any length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gr {

// The longest full path handed to the file functions as it is: a folder's path must leave
// room for an 8.3 name (the classic 260 less 12, terminator included), so from 248
// characters on a path needs the extended-length prefix.
constexpr size_t kLongestPlainPath = 247;

// `path` itself up to kLongestPlainPath characters or when it already has the prefix;
// otherwise `path` with "\\?\" in front (or "\\?\UNC\" in place of the "\\" of a share).
std::wstring LongPath(std::wstring_view path);

}  // namespace gr
