#include "payload/working_folder.h"

#include <gtest/gtest.h>

#include "payload/embedded_info.h"
#include "payload/removal.h"

#include <vector>

namespace gr {
namespace {

TEST(WorkingFolder, FreeSpaceMustStrictlyExceedTheRequirement) {
    constexpr uint64_t kMegabyte = 1024 * 1024;
    EXPECT_FALSE(EnoughFreeSpace(MegabytesOf(500 * kMegabyte), 500));
    EXPECT_FALSE(EnoughFreeSpace(MegabytesOf(500 * kMegabyte + 900 * 1024), 500));  // 500.9 counts as 500
    EXPECT_TRUE(EnoughFreeSpace(MegabytesOf(501 * kMegabyte), 500));
    EXPECT_TRUE(EnoughFreeSpace(0, -1));
    EXPECT_FALSE(EnoughFreeSpace(0, 0));
    EXPECT_TRUE(EnoughFreeSpace(MegabytesOf(UINT64_MAX), INT32_MAX));  // no overflow on huge drives
    EXPECT_FALSE(EnoughFreeSpace(MegabytesOf(UINT64_MAX), INT64_MAX));
}

TEST(WorkingFolder, JoinsWithOneBackslashWithinThePathLimit) {
    std::wstring path = L"unchanged";
    ASSERT_TRUE(JoinPath(L"C:", L"{guid}", path));
    EXPECT_EQ(path, L"C:\\{guid}");
    ASSERT_TRUE(JoinPath(L"C:\\Temp\\", L"\\x", path));
    EXPECT_EQ(path, L"C:\\Temp\\x");
    ASSERT_TRUE(JoinPath(L"C:\\W", L"sub/x.txt", path));  // a name's "/" splits like "\\"
    EXPECT_EQ(path, L"C:\\W\\sub\\x.txt");
    std::wstring root(220, L'r');  // 220 + 1 + 38 = 259 characters and the terminator
    ASSERT_TRUE(JoinPath(root, kZeroGuidText, path));
    EXPECT_EQ(path.size(), 259u);
    std::wstring kept = L"kept";
    EXPECT_FALSE(JoinPath(root + L"r", kZeroGuidText, kept));  // one more: refused, never cut
    EXPECT_EQ(kept, L"kept");
    EXPECT_EQ(DriveOf(L"D:\\Temp\\"), L"D:");
    // The folders above a file must fit the system's shorter limit for folders (247 characters).
    EXPECT_TRUE(FitsFolderLimit(std::wstring(247, L'f') + L"\\x.txt"));
    EXPECT_FALSE(FitsFolderLimit(std::wstring(248, L'f') + L"\\x.txt"));
    EXPECT_TRUE(FitsFolderLimit(L"x.txt"));
    // A device, whatever the full-path rules made of its name, is no root.
    EXPECT_TRUE(IsDeviceRoot(L"\\\\.\\NUL"));
    EXPECT_TRUE(IsDeviceRoot(L"\\\\.\\COM1"));
    EXPECT_FALSE(IsDeviceRoot(L"\\\\?\\C:\\Temp"));
    EXPECT_FALSE(IsDeviceRoot(L"\\\\server\\share"));
    EXPECT_FALSE(IsDeviceRoot(L"C:\\."));
    EXPECT_EQ(DriveOf(L"\\\\server\\share\\"), L"");
}

// The drive that will hold the payload is the root's: named in the message, measured at its top.
TEST(WorkingFolder, FreeSpaceIsMeasuredOnTheRootsDriveOrShare) {
    struct Case {
        const wchar_t* root;
        const wchar_t* drive;
        const wchar_t* measured;
    };
    for (const Case& c : {Case{L"C:", L"C:", L"C:\\"}, Case{L"D:\\new\\", L"D:", L"D:\\"},
                          Case{L"\\\\server\\share\\setup", L"\\\\server\\share", L"\\\\server\\share\\"},
                          Case{L"\\\\server\\share", L"\\\\server\\share", L"\\\\server\\share\\"},
                          Case{L"\\\\?\\E:\\deep", L"E:", L"E:\\"},
                          Case{L"\\\\?\\UNC\\server\\share\\x", L"\\\\server\\share", L"\\\\server\\share\\"},
                          Case{L"\\\\server", L"", L""}, Case{L"\\\\server\\", L"", L""}, Case{L"relative", L"", L""},
                          // a share with an empty server name names nothing
                          Case{L"\\\\\\share\\x", L"", L""}, Case{L"\\\\?\\UNC\\\\share", L"", L""}}) {
        SpaceTarget target = SpaceCheckTarget(c.root);
        EXPECT_EQ(target.drive, c.drive) << c.root;
        EXPECT_EQ(target.measured, c.measured) << c.root;
    }
}

// Something already at the working folder's path, or at a payload file's, is used only when
// it cannot lead the program's writes or deletions anywhere else.
TEST(WorkingFolder, WhatStandsAtAPathIsUsedOnlyWhenItLeadsNowhereElse) {
    const std::wstring user = L"S-1-5-21-1-2-3-1001";
    struct Case {
        uint32_t attributes;
        const wchar_t* owner;
        bool used;
    };
    for (const Case& c : {Case{kAttributeDirectory, kAdministratorsSid, true}, Case{kAttributeDirectory, kSystemSid, true},
                          Case{kAttributeDirectory | 0x20, L"S-1-5-21-1-2-3-1001", true},
                          Case{kAttributeDirectory, L"S-1-5-21-1-2-3-1002", false},  // another user planted it
                          Case{kAttributeDirectory, L"S-1-5-32-545", false},         // the Users group
                          Case{kAttributeDirectory, L"", false},                     // owner unknown
                          Case{kAttributeDirectory | kAttributeReparsePoint, kAdministratorsSid, false},
                          Case{0x20, kAdministratorsSid, false}}) {                   // a file
        ExistingFolder found{c.attributes, c.owner};
        EXPECT_EQ(ExistingFolderRefusal(found, user) == nullptr, c.used) << c.attributes << " " << c.owner;
    }
    // A folder of our own that another run holds is refused before anything in it is deleted.
    ExistingFolder held{kAttributeDirectory, kAdministratorsSid, true};
    EXPECT_STREQ(ExistingFolderRefusal(held, user), L"it is in use by another run");
    held.owner = L"S-1-5-21-1-2-3-1002";
    EXPECT_STREQ(ExistingFolderRefusal(held, user), L"it belongs to someone else");
}

TEST(WorkingFolder, OnlyPassingDeleteFailuresAreRetried) {
    EXPECT_TRUE(IsPassingDeleteFailure(32, false, false));   // sharing violation
    EXPECT_TRUE(IsPassingDeleteFailure(33, true, false));    // lock violation
    EXPECT_FALSE(IsPassingDeleteFailure(5, false, false));   // access denied: a read-only file stays
    EXPECT_TRUE(IsPassingDeleteFailure(145, true, true));    // not empty, though all was deleted
    EXPECT_FALSE(IsPassingDeleteFailure(145, true, false));  // something was left in it
    EXPECT_FALSE(IsPassingDeleteFailure(2, false, false));
}

// A scan window with the marker placed so that it starts `fromEnd` bytes before the end of
// the file (the window starts 4117 bytes before the end).
std::vector<uint8_t> WindowWithMarkerAt(size_t fromEnd) {
    std::vector<uint8_t> window(kInfoWindowBytes, 'x');
    size_t position = kInfoWindowFromEnd - fromEnd;
    const char marker[] = "MRDC";
    for (size_t i = 0; i < 4 && position + i < window.size(); ++i) window[position + i] = marker[i];
    return window;
}

TEST(EmbeddedInformation, WindowSearchPositions) {
    InfoBlock block;
    EXPECT_FALSE(FindEmbeddedInformation(WindowWithMarkerAt(4117).data(), block));  // first byte: never examined
    ASSERT_TRUE(FindEmbeddedInformation(WindowWithMarkerAt(4116).data(), block));
    EXPECT_EQ(block.length, 4116u - 4u - 6u);
    ASSERT_TRUE(FindEmbeddedInformation(WindowWithMarkerAt(11).data(), block));
    EXPECT_EQ(block.length, 1u);
    for (size_t fromEnd : {10u, 8u, 6u}) EXPECT_FALSE(FindEmbeddedInformation(WindowWithMarkerAt(fromEnd).data(), block));
    EXPECT_FALSE(FindEmbeddedInformation(std::vector<uint8_t>(kInfoWindowBytes, 0).data(), block));
}

// The two lines after the write, with their spelling as the deployment tools grep for it.
TEST(EmbeddedInformation, TheWriteIsLoggedWholeOrFailed) {
    EXPECT_EQ(InformationWrittenLine(true, 7, L"C:\\w\\info.xml"),
              L"Written out embedded information 7 byts to file C:\\w\\info.xml\r\n");
    EXPECT_EQ(InformationWrittenLine(false, 4105, L"C:\\w\\info.xml"),
              L"Write fail for embedded information 4105 byts to file C:\\w\\info.xml\r\n");
}

TEST(EmbeddedInformation, TheMarkerNearestTheEndWinsEvenWithNothingBehindIt) {
    std::vector<uint8_t> window = WindowWithMarkerAt(100);
    const char marker[] = "MRDC";
    for (size_t i = 0; i < 4; ++i) window[kInfoWindowFromEnd - 50 + i] = static_cast<uint8_t>(marker[i]);
    InfoBlock block;
    ASSERT_TRUE(FindEmbeddedInformation(window.data(), block));
    EXPECT_EQ(block.offset, kInfoWindowFromEnd - 50 + 4);
    EXPECT_EQ(block.length, 50u - 4u - 6u);
    // A later marker with nothing behind it ends the search, up to the last position
    // examined (6 bytes before the end); one starting past it is never seen.
    for (size_t fromEnd : {8u, 6u, 5u}) {
        std::vector<uint8_t> twice = window;
        for (size_t i = 0; i < 4; ++i) twice[kInfoWindowFromEnd - fromEnd + i] = static_cast<uint8_t>(marker[i]);
        InfoBlock found;
        EXPECT_EQ(FindEmbeddedInformation(twice.data(), found), fromEnd == 5u) << fromEnd;
        EXPECT_EQ(found.offset, fromEnd == 5u ? block.offset : 0u) << fromEnd;
    }
}

}  // namespace
}  // namespace gr
