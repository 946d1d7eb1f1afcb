#include "base/long_path.h"

namespace gr {

std::wstring LongPath(std::wstring_view path) {
    constexpr std::wstring_view kPrefix = L"\\\\?\\";
    std::wstring result;
    if (path.size() > kLongestPlainPath && path.substr(0, kPrefix.size()) != kPrefix) {
        bool share = path.substr(0, 2) == L"\\\\";
        // A share keeps one of its two leading backslashes: "\\?\UNC" + "\server\share\...".
        result = share ? L"\\\\?\\UNC" : kPrefix;
        if (share) path.remove_prefix(1);
    }
    result += path;
    return result;
}

}  // namespace gr
