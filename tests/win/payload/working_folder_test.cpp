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
#include "payload/payload_file_win.h"

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
    static std::string Read(const std::wstring& path) {
        FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        char text[64] = {};
        DWORD read = 0;
        if (file) ::ReadFile(file.Get(), text, sizeof(text) - 1, &read, nullptr);
        return std::string(text, read);
    }
    // A directory symbolic link at `link` to `target`; false where the system cannot make
    // one (Wine's CreateSymbolicLinkW answers success and makes nothing: the end-to-end
    // tests plant their links from outside instead).
    static bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
        using CreateLinkFn = BOOLEAN(WINAPI*)(const wchar_t*, const wchar_t*, DWORD);
        auto createLink = reinterpret_cast<CreateLinkFn>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "CreateSymbolicLinkW")));
        if (!createLink || !createLink(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) return false;
        DWORD attributes = ::GetFileAttributesW(link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    }

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
    // A root made by the probe (it did not exist, its parent does) that then takes no probe
    // file (too long for one) is removed again.
    const std::wstring fresh = root_ + L"\\" + std::wstring(230 - root_.size() - 1, L'n');
    EXPECT_EQ(folder.ProbeRoot(fresh), kFailed);
    EXPECT_FALSE(Exists(fresh));
    EXPECT_TRUE(Exists(root_));
}

TEST_F(ScratchFolder, WorkingFolderIsNamedOnceAndStartsEmpty) {
    // A zero-GUID folder of our own left with files in it (a planted library among them).
    const std::wstring zero = root_ + L"\\{00000000-0000-0000-0000-000000000000}";
    ASSERT_TRUE(::CreateDirectoryW(zero.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((zero + L"\\sub").c_str(), nullptr));
    WriteFile(zero + L"\\version.dll");
    WriteFile(zero + L"\\sub\\left.txt");
    WorkingFolder folder;
    ASSERT_EQ(folder.ProbeRoot(root_), 0u);
    const std::wstring path = folder.Get(true);
    EXPECT_EQ(path, zero);
    EXPECT_EQ(folder.Get(false), path);  // fixed after the first call
    ASSERT_TRUE(Exists(path));
    EXPECT_FALSE(Exists(zero + L"\\version.dll"));
    EXPECT_FALSE(Exists(zero + L"\\sub"));
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

// A folder link handed to the removal itself, made from the host's side where this system
// cannot make one (see tests/win/CMakeLists.txt): the link may stay or go, what it names stays.
TEST(FolderRemoval, AFolderLinkHandedToTheRemovalIsNeverFollowed) {
    const std::wstring links = GEARRACK_HOST_LINKS;
    const std::wstring precious = links + L"\\target\\precious.txt";
    DWORD attributes = ::GetFileAttributesW((links + L"\\link").c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "no host link prepared (the win_host_links test makes it)";
    DeleteFolderTree(links + L"\\link", 0);
    EXPECT_NE(::GetFileAttributesW(precious.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesW((links + L"\\target").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ScratchFolder, LinksAreRemovedNeverFollowed) {
    std::wstring target = root_ + L"-target";
    ::CreateDirectoryW(target.c_str(), nullptr);
    WriteFile(target + L"\\precious.txt");
    if (!MakeFolderLink(root_ + L"\\link", target)) {
        DeleteFolderTree(target, 0);
        GTEST_SKIP() << "this system cannot make a directory link (error " << ::GetLastError() << ")";
    }
    EXPECT_TRUE(DeleteFolderTree(root_, 0));
    EXPECT_FALSE(Exists(root_));
    EXPECT_TRUE(Exists(target + L"\\precious.txt"));
    DeleteFolderTree(target, 0);
}

// Removal runs on a thread whose stack is mostly taken already, so that a removal whose
// stack grows with the depth of the tree would overflow long before the deepest level.
struct DeepRemoval {
    std::wstring root;
    bool removed = false;
    static DWORD WINAPI OnShortStack(void* parameter) {
        volatile char ballast[976 * 1024];  // of the 1 MB asked for below
        ballast[0] = 0;
        auto* removal = static_cast<DeepRemoval*>(parameter);
        removal->removed = DeleteFolderTree(removal->root, 0) && ballast[0] == 0;
        return 0;
    }
};

TEST_F(ScratchFolder, ADeepTreeIsRemovedWithoutDeepStack) {
    std::wstring path = L"\\\\?\\" + root_;
    for (int level = 0; level < 100; ++level) {  // removed by recursion, it would take twice the stack left
        path += L"\\d";
        ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr)) << level;
    }
    WriteFile(path + L"\\deep.txt");
    DeepRemoval removal{root_};
    Handle thread(::CreateThread(nullptr, 1024 * 1024, DeepRemoval::OnShortStack, &removal,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(::WaitForSingleObject(thread.Get(), 60000), WAIT_OBJECT_0);
    EXPECT_TRUE(removal.removed);
    EXPECT_FALSE(Exists(root_));
}

TEST_F(ScratchFolder, RemovalLeavesTheFolderItIsCurrentIn) {
    wchar_t before[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, before);
    const std::wstring folder = root_ + L"\\work";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.c_str()));  // as the launch leaves it
    RemoveWorkingFolder(folder, ResourceCatalogue(), DeleteRetry{0});
    wchar_t after[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, after);
    ::SetCurrentDirectoryW(before);
    EXPECT_NE(std::wstring(after).rfind(folder, 0), 0u) << "still in the folder: " << std::string(after, after + wcslen(after));
    EXPECT_FALSE(Exists(folder));
}

TEST_F(ScratchFolder, PayloadFilesAreNeverWrittenThroughAnotherName) {
    const std::wstring precious = root_ + L"\\precious.txt";
    WriteFile(precious, "precious");
    const std::wstring hard = root_ + L"\\install.bin";
    ASSERT_TRUE(::CreateHardLinkW(hard.c_str(), precious.c_str(), nullptr));
    EXPECT_FALSE(OpenPayloadFile(hard));
    const std::wstring elsewhere = root_ + L"\\elsewhere";
    ASSERT_TRUE(::CreateDirectoryW(elsewhere.c_str(), nullptr));
    EXPECT_FALSE(OpenPayloadFile(elsewhere));  // a folder
    if (MakeFolderLink(root_ + L"\\linked", elsewhere)) {
        EXPECT_FALSE(OpenPayloadFile(root_ + L"\\linked"));
    }
    EXPECT_EQ(Read(precious), "precious");
    // A plain file of its own is emptied and written; a new one is made.
    const std::wstring plain = root_ + L"\\plain.txt";
    WriteFile(plain, "a longer old text");
    for (const std::wstring& path : {plain, root_ + L"\\new.txt"}) {
        FileHandle file = OpenPayloadFile(path);
        ASSERT_TRUE(file);
        DWORD written = 0;
        ::WriteFile(file.Get(), "new", 3, &written, nullptr);
        file.Reset();
        EXPECT_EQ(Read(path), "new");
    }
}

}  // namespace
}  // namespace gr
