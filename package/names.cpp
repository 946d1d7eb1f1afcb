#include "package/names.h"

#include "base/text.h"

namespace gr {
namespace {

// Names Windows opens as devices in any folder, with or without an extension; besides
// these, COM and LPT with a digit. A named constant: a temporary list would be copied in
// from writable data.
constexpr const wchar_t* kDevices[] = {L"nul", L"con", L"prn", L"aux", L"conin$", L"conout$"};

bool IsDeviceName(std::wstring_view element) {
    std::wstring_view base = element.substr(0, element.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.remove_suffix(1);  // "NUL .txt" is NUL too
    for (const wchar_t* device : kDevices)
        if (EqualsIgnoreCase(base, device)) return true;
    if (base.size() != 4) return false;
    wchar_t digit = base[3];  // Windows counts the superscripts 1 to 3 as digits here
    bool numbered = (digit >= L'0' && digit <= L'9') || digit == L'\u00b9' || digit == L'\u00b2' || digit == L'\u00b3';
    return numbered && (EqualsIgnoreCase(base.substr(0, 3), L"com") || EqualsIgnoreCase(base.substr(0, 3), L"lpt"));
}

}  // namespace

bool IsForbiddenNameCharacter(wchar_t c) {
    return c < L' ' || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*';
}

bool IsPlainName(std::wstring_view name) {
    if (name.empty() || name.back() == L'.' || name.back() == L' ') return false;
    for (wchar_t c : name)
        if (IsForbiddenNameCharacter(c) || c == L':' || c == L'\\' || c == L'/') return false;
    return !IsDeviceName(name);
}

bool IsContainedName(std::wstring_view name) {
    if (name.empty()) return false;
    size_t start = 0;
    for (;;) {
        size_t end = name.find_first_of(L"\\/", start);
        if (!IsPlainName(name.substr(start, end == std::wstring_view::npos ? end : end - start))) return false;
        if (end == std::wstring_view::npos) return true;
        start = end + 1;
    }
}

}  // namespace gr
