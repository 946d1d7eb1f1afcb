#include "payload/working_folder_win.h"

#include <windows.h>
#include <objbase.h>

#include "base/log.h"
#include "framework/checked_file_win.h"
#include "framework/handles_win.h"
#include "payload/folder_removal_win.h"
#include "payload/folder_security_win.h"
#include "payload/removal.h"

namespace gr {
namespace {

constexpr GUID kFallbackGuid = {0x66EC6C3A, 0x0B4A, 0x4CAB, {0xA2, 0x4A, 0x53, 0xB2, 0xD4, 0x17, 0x6C, 0xD1}};

std::wstring GuidText(const GUID& guid) {
    wchar_t text[50];
    return ::StringFromGUID2(guid, text, 50) ? std::wstring(text) : std::wstring(kUnformattableGuidText);
}

// Makes `path` a fresh folder that only its owners may change. Something already standing
// there is never followed: a link, or a folder that someone else may have planted, is
// refused; a folder of our own is removed with everything in it and made again, so the
// payload never lies beside files it did not bring. False, with a log line, on refusal.
bool MakeFreshFolder(const std::wstring& path, const DeleteRetry& retry) {
    if (CreateSecuredFolder(path)) return true;
    DWORD error = ::GetLastError();
    ExistingFolder found;
    if (error == ERROR_ALREADY_EXISTS && InspectExisting(path, found)) {
        const wchar_t* refusal = ExistingFolderRefusal(found, CurrentUserSid());
        if (!refusal) {
            LogFormat(L"Working folder '%s' exists: made afresh\n", path);
            if (!DeleteFolderTree(path, retry)) refusal = L"what is in it cannot be deleted";
        }
        if (refusal) {
            LogFormat(L"Working folder '%s' refused: %s\n", path, refusal);
            return false;
        }
        if (CreateSecuredFolder(path)) return true;
        error = ::GetLastError();
    }
    LogFormat(L"Working folder '%s' cannot be made, error %u\n", path, static_cast<uint32_t>(error));
    return false;
}

}  // namespace

uint32_t WorkingFolder::ProbeRoot(const std::wstring& root) {
    probedRoot_ = root;
    // Remembered in full: the removal at the end runs from another current folder.
    createdRoot_.clear();
    if (::CreateDirectoryW(root.c_str(), nullptr)) {
        createdRoot_ = root;
        if (!FullPathOf(createdRoot_, createdRoot_)) createdRoot_.clear();
    }
    uint32_t result = ProbeFile(root);
    if (result != 0) RemoveCreatedRoot();  // a root that takes no file is not kept
    DWORD attributes = ::GetFileAttributesW(root.c_str());
    if (result != 0 && attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        LogFormat(L"Working folder root '%s' is not a folder\n", root);
        return kRootNotFolder;
    }
    return result;
}

uint32_t WorkingFolder::ProbeFile(const std::wstring& root) {
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
    if (!JoinPath(probedRoot_, GuidText(guid), path_) || !FullPathOf(path_, path_)) {
        LogFormat(L"Working folder root too long: '%s'\n", probedRoot_);
        path_.clear();
        return path_;
    }
    if (!MakeFreshFolder(path_, DeleteRetry{::GetTickCount64() + kRemovalRetryMilliseconds})) path_.clear();
    if (!path_.empty()) held_ = HoldFolder(path_);
    return path_;
}

void WorkingFolder::Remove(const ResourceCatalogue& catalogue) {
    held_.Reset();  // the removal itself must delete it
    if (!path_.empty())  // empty: never made, or refused
        RemoveWorkingFolder(path_, catalogue, DeleteRetry{::GetTickCount64() + kRemovalRetryMilliseconds});
    RemoveCreatedRoot();
}

void WorkingFolder::RemoveCreatedRoot() {
    if (createdRoot_.empty()) return;
    // Only when empty: RemoveDirectoryW takes nothing else, and a link itself, never its target.
    if (::RemoveDirectoryW(createdRoot_.c_str())) LogFormat(L"Removed root '%s'\n", createdRoot_);
    createdRoot_.clear();
}

}  // namespace gr
