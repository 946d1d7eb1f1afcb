#include "wizard/paths.h"

#include <algorithm>

#include "package/names.h"

namespace wiz {
namespace {

constexpr size_t kMaxRelativePath = 120;
constexpr size_t kMaxFolder = 180;  // with the package's paths below it, under MAX_PATH

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
    return text;
}

// Where the names below the root begin in a full path: after "C:\" or "\\server\share\";
// 0 when the path is not a full one.
size_t RootLength(const std::wstring& path) {
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\') return 3;
    if (path.size() < 3 || path[0] != L'\\' || path[1] != L'\\') return 0;
    size_t server = path.find(L'\\', 2);
    if (server == std::wstring::npos || !IsGoodName(std::wstring_view(path).substr(2, server - 2))) return 0;
    size_t share = path.find(L'\\', server + 1);
    std::wstring_view name = std::wstring_view(path).substr(server + 1, share == std::wstring::npos ? share : share - server - 1);
    if (!IsGoodName(name)) return 0;
    return share == std::wstring::npos ? path.size() : share + 1;
}

// Whether `path` is good names joined by "\\".
bool AreGoodNames(std::wstring_view path) {
    for (size_t start = 0;;) {
        size_t end = path.find(L'\\', start);
        if (!IsGoodName(path.substr(start, end == std::wstring_view::npos ? end : end - start))) return false;
        if (end == std::wstring_view::npos) return true;
        start = end + 1;
    }
}

FolderCheck Refused(std::wstring folder, const wchar_t* why) {
    return FolderCheck{std::move(folder), why};
}

}  // namespace

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return AsciiLower(x) == AsciiLower(y); });
}

bool IsGoodName(std::wstring_view name) { return gr::IsPlainName(name); }

bool IsSafeRelativePath(std::wstring_view path) {
    return path.size() <= kMaxRelativePath && AreGoodNames(path);
}

FolderCheck CheckInstallFolder(std::wstring_view text) {
    std::wstring folder(Trimmed(text));
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    if (folder.empty()) return Refused(folder, L"No folder was given.");
    size_t root = RootLength(folder);
    if (root == 0) return Refused(folder, L"The folder must be a full path, such as C:\\Folder.");
    if (root >= folder.size()) return Refused(folder, L"The folder cannot be the root of a drive or share.");
    if (folder.size() > kMaxFolder) return Refused(folder, L"The folder's path is too long.");
    if (!AreGoodNames(std::wstring_view(folder).substr(root)))
        return Refused(folder, L"The folder's path holds a name that Windows does not allow.");
    return FolderCheck{std::move(folder), L""};
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view relative) {
    std::wstring path(folder);
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path.append(relative);
}

}  // namespace wiz
