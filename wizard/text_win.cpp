#include "wizard/text_win.h"

#include <windows.h>

namespace wiz {
namespace {

std::string Encode(UINT codePage, std::wstring_view text) {
    if (text.empty()) return std::string();
    int length = static_cast<int>(text.size());
    int bytes = ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), length, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace

bool FromUtf8(std::string_view bytes, std::wstring& text) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    text.clear();
    if (bytes.empty()) return true;
    int length = static_cast<int>(bytes.size());
    int count = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (count <= 0) return false;
    text.resize(static_cast<size_t>(count));
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, text.data(), count) == count;
}

std::string ToUtf8(std::wstring_view text) {
    return Encode(CP_UTF8, text);
}

std::string ToAnsi(std::wstring_view text) {
    return Encode(CP_ACP, text);
}

}  // namespace wiz
