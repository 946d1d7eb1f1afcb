#include "payload/working_folder_win.h"

#include <aclapi.h>
#include <objbase.h>
#include <sddl.h>
#include <shlobj.h>

#include "app/log.h"
#include "base/decimal.h"
#include "base/long_path.h"
#include "framework/handles_win.h"
#include "framework/string_table_win.h"
#include "payload/removal.h"
#include "payload/working_folder.h"

namespace gr {
namespace {

constexpr UINT kRequiredSpaceEntry = 103;
constexpr GUID kFallbackGuid = {0x66EC6C3A, 0x0B4A, 0x4CAB, {0xA2, 0x4A, 0x53, 0xB2, 0xD4, 0x17, 0x6C, 0xD1}};

std::wstring GuidText(const GUID& guid) {
    wchar_t text[50];
    return ::StringFromGUID2(guid, text, 50) ? std::wstring(text) : std::wstring(kUnformattableGuidText);
}

// Runs `attempt` until it succeeds, fails for good, or the deadline passes.
template <class Attempt>
bool WithRetry(Attempt attempt, bool isFolder, bool contentsDeleted, ULONGLONG deadline) {
    for (;;) {
        if (attempt()) return true;
        DWORD error = ::GetLastError();
        if (!IsPassingDeleteFailure(error, isFolder, contentsDeleted) || ::GetTickCount64() >= deadline) return false;
        ::Sleep(50);
    }
}

bool DeleteFileWithRetry(const std::wstring& path, ULONGLONG deadline) {
    std::wstring target = LongPath(path);
    return WithRetry([&] { return ::DeleteFileW(target.c_str()) != FALSE; }, false, false, deadline);
}

}  // namespace

LocalMemory OwnersOnlySecurity() {
    Handle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return LocalMemory();
    union {
        TOKEN_USER user;
        unsigned char bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } buffer;
    DWORD size = 0;
    if (!::GetTokenInformation(token.Get(), TokenUser, &buffer, sizeof(buffer), &size)) return LocalMemory();
    wchar_t* userText = nullptr;
    if (!::ConvertSidToStringSidW(buffer.user.User.Sid, &userText)) return LocalMemory();
    LocalMemory userOwner(userText);
    std::wstring sddl = OwnersOnlySecurityText(userText);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return LocalMemory();
    return LocalMemory(descriptor);
}

namespace {

// Creates the folder (and any missing folder above it) so that only its owners can write
// to it; a folder already there gets the same protection.
void CreateProtectedFolder(const std::wstring& path) {
    LocalMemory descriptor = OwnersOnlySecurity();
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.Get(), FALSE};
    int created = ::SHCreateDirectoryExW(nullptr, path.c_str(), descriptor ? &attributes : nullptr);
    if (created == ERROR_ALREADY_EXISTS && descriptor) {
        PACL dacl = nullptr;
        BOOL present = FALSE, defaulted = FALSE;
        if (::GetSecurityDescriptorDacl(descriptor.Get(), &present, &dacl, &defaulted) && present)
            ::SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                    dacl, nullptr);
    }
}

// The full form of `path` (a root typed into the prompt may be relative), within the path
// limit; false when it does not fit.
bool MakeAbsolute(std::wstring& path) {
    wchar_t full[kPathLimit];
    DWORD length = ::GetFullPathNameW(path.c_str(), kPathLimit, full, nullptr);
    if (length == 0 || length >= kPathLimit) return false;
    path.assign(full, length);
    return true;
}

}  // namespace

bool CheckDiskSpace(HINSTANCE module, FreeSpace& space) {
    space.requiredMegabytes = ParseDecimal(LoadStringResource(module, kRequiredSpaceEntry));
    space.freeMegabytes = 0;
    wchar_t temp[1024];
    DWORD length = ::GetTempPathW(1024, temp);
    std::wstring tempPath = (length > 0 && length < 1024) ? std::wstring(temp, length) : std::wstring();
    space.drive = DriveOf(tempPath);
    // A temporary folder on a network share has no drive letter: measure the share itself.
    const std::wstring& measured = space.drive.empty() ? tempPath : space.drive;
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExW(measured.c_str(), &available, nullptr, nullptr)) return false;
    space.freeMegabytes = MegabytesOf(available.QuadPart);
    return EnoughFreeSpace(space.freeMegabytes, space.requiredMegabytes);
}

uint32_t WorkingFolder::ProbeRoot(const std::wstring& root) {
    probedRoot_ = root;
    ::CreateDirectoryW(root.c_str(), nullptr);
    GUID guid = {};
    if (FAILED(::CoCreateGuid(&guid))) guid = GUID{};
    std::wstring probe;
    if (!JoinPath(root, GuidText(guid), probe)) {
        LogFormat(L"Working folder root too long: '%s'\n", root);
        return kFailed;
    }
    FileHandle file(::CreateFileW(probe.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file ? 0 : kFailed;
}

const std::wstring& WorkingFolder::Get(bool zeroGuid) {
    if (named_) return path_;
    named_ = true;
    GUID guid = {};
    if (!zeroGuid && FAILED(::CoCreateGuid(&guid))) guid = kFallbackGuid;
    // Made absolute now: the launch changes the current folder, removal must not follow it.
    if (!JoinPath(probedRoot_, GuidText(guid), path_) || !MakeAbsolute(path_)) {
        LogFormat(L"Working folder root too long: '%s'\n", probedRoot_);
        path_.clear();
        return path_;
    }
    CreateProtectedFolder(path_);
    return path_;
}

void WorkingFolder::Remove(const ResourceCatalogue& catalogue) {
    if (path_.empty()) return;  // never made
    ULONGLONG deadline = ::GetTickCount64() + kRemovalRetryMilliseconds;
    for (const CResource& entry : catalogue) {
        std::wstring path;
        if (entry.fileName.empty() || !IsContainedName(entry.fileName) || !JoinPath(path_, entry.fileName, path))
            continue;
        LogFormat(L"Manual Deletion of '%s'\n", path);
        DeleteFileWithRetry(path, deadline);
    }
    ::SetCurrentDirectoryW(L"\\");  // the launch made the folder current, which would keep it
    LogFormat(L"Deletion Folder of '%s'\n", path_);
    DeleteFolderTree(path_, deadline);
}

bool DeleteFolderTree(const std::wstring& path, ULONGLONG deadline) {
    std::wstring prefix = path;
    if (prefix.empty() || prefix.back() != L'\\') prefix.push_back(L'\\');
    bool emptied = true;
    WIN32_FIND_DATAW found;
    FindHandle search(::FindFirstFileExW(LongPath(prefix + L"*.*").c_str(), FindExInfoStandard, &found,
                                         FindExSearchNameMatch, nullptr, 0));
    for (bool more = static_cast<bool>(search); more; more = ::FindNextFileW(search.Get(), &found) != FALSE) {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring full = prefix + name;
        bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A junction, symbolic link or mount point: remove the link, never what it names.
            LogFormat(L"Deletion link '%s'\n", full);
            std::wstring target = LongPath(full);
            emptied &= folder ? ::RemoveDirectoryW(target.c_str()) != FALSE : ::DeleteFileW(target.c_str()) != FALSE;
        } else if (folder) {
            LogFormat(L"Deletion subfolder Folder of '%s'\n", full);
            emptied &= DeleteFolderTree(full, deadline);
        } else {
            LogFormat(L"Deletion file '%s'\n", full);
            emptied &= DeleteFileWithRetry(full, deadline);
        }
    }
    search.Reset();
    LogFormat(L"Remove Folder '%s'\n", path);
    std::wstring target = LongPath(path);
    return WithRetry([&] { return ::RemoveDirectoryW(target.c_str()) != FALSE; }, true, emptied, deadline);
}

}  // namespace gr
