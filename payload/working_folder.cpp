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

SpaceTarget SpaceCheckTarget(std::wstring_view root) {
    // Where the drive letter or the server's name begins, after any extended-length prefix.
    bool share = root.rfind(L"\\\\", 0) == 0;
    size_t start = share ? 2 : 0;
    if (root.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        start = 8;
    } else if (root.rfind(L"\\\\?\\", 0) == 0) {
        start = 4;
        share = false;
    }
    std::wstring_view rest = root.substr(start);
    std::wstring named;
    if (!share) {
        if (rest.size() < 2 || rest[1] != L':') return SpaceTarget();
        named = rest.substr(0, 2);
    } else {
        // "\\server\share", up to the separator after the share's name.
        size_t server = rest.find(L'\\');
        if (server == 0 || server == std::wstring_view::npos || server + 1 >= rest.size() || rest[server + 1] == L'\\')
            return SpaceTarget();
        named = L"\\\\" + std::wstring(rest.substr(0, rest.find(L'\\', server + 1)));
    }
    return SpaceTarget{named, named + L"\\"};
}

bool IsDeviceRoot(std::wstring_view root) {
    return root.rfind(L"\\\\.\\", 0) == 0;
}

const wchar_t* ExistingFolderRefusal(const ExistingFolder& found, std::wstring_view userSid) {
    if (found.attributes & kAttributeReparsePoint) return L"it is a link";
    if (!(found.attributes & kAttributeDirectory)) return L"it is not a folder";
    if (found.owner != kAdministratorsSid && found.owner != kSystemSid && found.owner != userSid)
        return L"it belongs to someone else";  // or to no one known: an owner that cannot be read
    return found.inUse ? L"it is in use by another run" : nullptr;
}

bool FitsFolderLimit(std::wstring_view path) {
    size_t last = path.find_last_of(L'\\');
    return last == std::wstring_view::npos || last < kFolderPathLimit;
}

}  // namespace gr
