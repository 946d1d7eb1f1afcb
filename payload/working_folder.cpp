#include "payload/working_folder.h"

namespace gr {

bool JoinPath(std::wstring_view folder, std::wstring_view name, std::wstring& path) {
    while (!name.empty() && name.front() == L'\\') name.remove_prefix(1);
    std::wstring joined(folder);
    if (!joined.empty() && joined.back() != L'\\') joined.push_back(L'\\');
    joined.append(name);
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

namespace {

// `path` without the extended-length prefix ("\\?\D:\x" is "D:\x", "\\?\UNC\s\x" is "\\s\x").
std::wstring WithoutLongPrefix(std::wstring_view path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + std::wstring(path.substr(8));
    if (path.rfind(L"\\\\?\\", 0) == 0) return std::wstring(path.substr(4));
    return std::wstring(path);
}

}  // namespace

SpaceTarget SpaceCheckTarget(std::wstring_view root) {
    std::wstring path = WithoutLongPrefix(root);
    std::wstring drive = DriveOf(path);
    if (!drive.empty()) return SpaceTarget{drive, drive + L"\\"};
    if (path.rfind(L"\\\\", 0) != 0) return SpaceTarget();
    // A share: "\\server\share", up to the separator after the share's name.
    size_t server = path.find(L'\\', 2);
    if (server == std::wstring::npos || server == 2) return SpaceTarget();
    size_t share = path.find(L'\\', server + 1);
    std::wstring named = path.substr(0, share);
    if (named.size() == server + 1) return SpaceTarget();  // no share's name
    return SpaceTarget{named, named + L"\\"};
}

const wchar_t* ExistingFolderRefusal(const ExistingFolder& found, std::wstring_view userSid) {
    if (found.attributes & kAttributeReparsePoint) return L"it is a link";
    if (!(found.attributes & kAttributeDirectory)) return L"it is not a folder";
    if (found.owner.empty()) return L"its owner cannot be read";
    if (found.owner == kAdministratorsSid || found.owner == kSystemSid || found.owner == userSid) return nullptr;
    return L"it belongs to someone else";
}

const wchar_t* PayloadFileRefusal(uint32_t attributes, uint32_t linkCount) {
    if (attributes & kAttributeReparsePoint) return L"it is a link";
    if (attributes & kAttributeDirectory) return L"it is a folder";
    if (linkCount > 1) return L"it has other names";
    return nullptr;
}

}  // namespace gr
