#include "payload/working_folder.h"

namespace gr {

bool JoinPath(std::wstring_view folder, std::wstring_view name, std::wstring& path) {
    while (!name.empty() && (name.front() == L'\\' || name.front() == L'/')) name.remove_prefix(1);
    std::wstring joined(folder);
    if (!joined.empty() && joined.back() != L'\\') joined.push_back(L'\\');
    for (wchar_t c : name) joined.push_back(c == L'/' ? L'\\' : c);
    if (joined.size() >= kPathLimit) return false;
    path = std::move(joined);
    return true;
}

std::wstring OwnersOnlySecurityText(std::wstring_view userSid) {
    return L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FA;;;" + std::wstring(userSid) + L")";
}

std::wstring DriveOf(std::wstring_view path) {
    if (path.size() >= 2 && path[1] == L':') return std::wstring(path.substr(0, 2));
    return std::wstring();
}

}  // namespace gr
