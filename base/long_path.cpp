#include "base/long_path.h"

namespace gr {

std::wstring LongPath(std::wstring_view path) {
    constexpr std::wstring_view kPrefix = L"\\\\?\\";
    if (path.size() <= kLongestPlainPath || path.substr(0, kPrefix.size()) == kPrefix) return std::wstring(path);
    if (path.substr(0, 2) == L"\\\\") return L"\\\\?\\UNC\\" + std::wstring(path.substr(2));
    return std::wstring(kPrefix) + std::wstring(path);
}

}  // namespace gr
