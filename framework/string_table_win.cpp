#include "framework/string_table_win.h"

namespace gr {

std::wstring LoadStringResource(HINSTANCE module, UINT id) {
    // With a zero buffer size the call hands out a pointer into the loaded resource; the
    // text there is counted, not terminated.
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return std::wstring();
    return std::wstring(text, static_cast<size_t>(length));
}

}  // namespace gr
