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
    EXPECT_EQ(DriveOf(L"\\\\server\\share\\"), L"");
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
