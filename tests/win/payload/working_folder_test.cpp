#include "payload/working_folder_win.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/handles_win.h"
#include "payload/folder_removal_win.h"
#include "payload/folder_security_win.h"

namespace gr {
namespace {

// A scratch folder of the test's own under the temporary folder, removed afterwards.
class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root_ = std::wstring(temp) + L"gearrack-" + std::wstring(name, name + std::strlen(name));
        DeleteFolderTree(root_, 0);
        ASSERT_TRUE(::CreateDirectoryW(root_.c_str(), nullptr));
    }
    void TearDown() override { DeleteFolderTree(root_, 0); }

    static void WriteFile(const std::wstring& path, const char* text = "x") {
        FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ::WriteFile(file.Get(), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    }
    static bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::wstring root_;
};

TEST_F(ScratchFolder, ProbeLeavesNothingAndFailsWhereNothingCanBeMade) {
    WorkingFolder folder;
    EXPECT_EQ(folder.ProbeRoot(root_), 0u);
    WIN32_FIND_DATAW found;
    FindHandle search(::FindFirstFileW((root_ + L"\\*").c_str(), &found));
    int entries = 0;
    for (bool more = static_cast<bool>(search); more; more = ::FindNextFileW(search.Get(), &found)) ++entries;
    EXPECT_EQ(entries, 2);  // "." and "..": the probe file deleted itself
    EXPECT_EQ(folder.ProbeRoot(root_ + L"\\missing\\deeper"), kFailed);
    EXPECT_EQ(folder.ProbeRoot(root_ + L"\\" + std::wstring(240, L'x')), kFailed);
}

TEST_F(ScratchFolder, WorkingFolderIsNamedOnceAndOnlyItsOwnersMayWrite) {
    WorkingFolder folder;
    ASSERT_EQ(folder.ProbeRoot(root_), 0u);
    const std::wstring path = folder.Get(true);
    EXPECT_EQ(path, root_ + L"\\{00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(folder.Get(false), path);  // fixed after the first call
    ASSERT_TRUE(Exists(path));

}

// Wine keeps its own idea of a file's security, so the folder's is checked where it is
// made: the descriptor handed to the folder's creation.
TEST(WorkingFolderSecurity, OnlyAdministratorsSystemAndTheUserMayWrite) {
    LocalMemory descriptor = OwnersOnlySecurity();
    ASSERT_TRUE(descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(::GetSecurityDescriptorControl(descriptor.Get(), &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED);  // nothing inherited from the root
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(descriptor.Get(), &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl);
    EXPECT_EQ(dacl->AceCount, 3);
    wchar_t* sddl = nullptr;
    ASSERT_TRUE(::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor.Get(), SDDL_REVISION_1,
                                                                       DACL_SECURITY_INFORMATION, &sddl, nullptr));
    LocalMemory text(sddl);
    std::wstring acl = sddl;
    for (const wchar_t* everyone : {L";;;AU)", L";;;WD)", L";;;BU)"})
        EXPECT_EQ(acl.find(everyone), std::wstring::npos) << acl;
}

TEST_F(ScratchFolder, TreeDeletionTakesEveryDepth) {
    std::wstring deep = root_ + L"\\a";
    ::CreateDirectoryW(deep.c_str(), nullptr);
    WriteFile(deep + L"\\one.txt");
    // Deeper than the classic path limit, as a wizard may leave it.
    std::wstring longPath = L"\\\\?\\" + root_ + L"\\c";
    ASSERT_TRUE(::CreateDirectoryW(longPath.c_str(), nullptr));
    for (int level = 0; level < 12; ++level) {
        longPath += L"\\" + std::wstring(30, static_cast<wchar_t>(L'a' + level));
        ASSERT_TRUE(::CreateDirectoryW(longPath.c_str(), nullptr));
    }
    WriteFile(longPath + L"\\deep.txt");
    EXPECT_TRUE(DeleteFolderTree(root_, 0));
    EXPECT_FALSE(Exists(root_));
}

TEST_F(ScratchFolder, AReadOnlyFileStaysWithItsFolders) {
    std::wstring probe = root_ + L"\\probe.txt";
    WriteFile(probe);
    ::SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_READONLY);
    if (::DeleteFileW(probe.c_str())) GTEST_SKIP() << "this system deletes read-only files";
    ::SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::wstring kept = root_ + L"\\b";
    ::CreateDirectoryW(kept.c_str(), nullptr);
    WriteFile(kept + L"\\kept.txt");
    ::SetFileAttributesW((kept + L"\\kept.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ULONGLONG started = ::GetTickCount64();
    EXPECT_FALSE(DeleteFolderTree(root_, started + 2000));
    EXPECT_LT(::GetTickCount64() - started, 1000u);  // nothing to wait for: no retries
    EXPECT_TRUE(Exists(kept + L"\\kept.txt"));
    EXPECT_FALSE(Exists(probe));
    ::SetFileAttributesW((kept + L"\\kept.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

struct HeldFile {
    std::wstring path;
    HANDLE opened;
    static DWORD WINAPI ReleaseLater(void* parameter) {
        ::Sleep(300);
        ::CloseHandle(static_cast<HeldFile*>(parameter)->opened);
        return 0;
    }
};

TEST_F(ScratchFolder, AFileInUseForAMomentIsDeletedWithinTheRetryBound) {
    std::wstring held = root_ + L"\\scanned.txt";
    WriteFile(held);
    HeldFile file{held, ::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)};
    ASSERT_NE(file.opened, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(::DeleteFileW(held.c_str()));  // in use: a plain delete fails
    Handle releaser(::CreateThread(nullptr, 0, HeldFile::ReleaseLater, &file, 0, nullptr));
    ASSERT_TRUE(releaser);
    EXPECT_TRUE(DeleteFolderTree(root_, ::GetTickCount64() + 2000));
    EXPECT_FALSE(Exists(root_));
    ::WaitForSingleObject(releaser.Get(), 5000);
}

// Counts a removal's pauses between attempts, and lets go of the file in use at the third.
struct CountedPauses {
    static inline int count = 0;
    static inline HANDLE held = INVALID_HANDLE_VALUE;
    static void Pause(DWORD) {
        if (++count == 3) ::CloseHandle(held);
    }
};

TEST_F(ScratchFolder, AFileInUseIsTriedAgainAfterEachPauseUntilTheDeadline) {
    std::wstring held = root_ + L"\\scanned.txt";
    WriteFile(held);
    CountedPauses::count = 0;
    CountedPauses::held = ::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(CountedPauses::held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFolderTree(root_, DeleteRetry{0, CountedPauses::Pause}));  // deadline passed: one attempt
    EXPECT_EQ(CountedPauses::count, 0);
    EXPECT_TRUE(DeleteFolderTree(root_, DeleteRetry{::GetTickCount64() + 600000, CountedPauses::Pause}));
    EXPECT_EQ(CountedPauses::count, 3);  // three attempts failed, the fourth after the file was let go
    EXPECT_FALSE(Exists(root_));
}

TEST_F(ScratchFolder, LinksAreRemovedNeverFollowed) {
    std::wstring target = root_ + L"-target";
    ::CreateDirectoryW(target.c_str(), nullptr);
    WriteFile(target + L"\\precious.txt");
    std::wstring link = root_ + L"\\link";
    using CreateLinkFn = BOOLEAN(WINAPI*)(const wchar_t*, const wchar_t*, DWORD);
    auto createLink = reinterpret_cast<CreateLinkFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "CreateSymbolicLinkW")));
    if (!createLink || !createLink(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) {
        DeleteFolderTree(target, 0);
        GTEST_SKIP() << "this system cannot make a directory link (error " << ::GetLastError() << ")";
    }
    EXPECT_TRUE(DeleteFolderTree(root_, 0));
    EXPECT_FALSE(Exists(root_));
    EXPECT_TRUE(Exists(target + L"\\precious.txt"));
    DeleteFolderTree(target, 0);
}

}  // namespace
}  // namespace gr
