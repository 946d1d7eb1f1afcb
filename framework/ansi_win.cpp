#include "framework/ansi_win.h"

#include <windows.h>

namespace gr {

std::string ToAnsi(std::wstring_view text) {
    if (text.empty()) return std::string();
    int wide = static_cast<int>(text.size());
    int bytes = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), wide, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::wstring FromAnsi(std::string_view bytes) {
    if (bytes.empty()) return std::wstring();
    int size = static_cast<int>(bytes.size());
    int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), size, text.data(), length);
    return text;
}

}  // namespace gr
