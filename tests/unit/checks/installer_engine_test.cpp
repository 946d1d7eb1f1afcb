#include "checks/installer_engine.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

TEST(InstallerEngine, XpAndEveryLaterNtVersionNeedNoFileCheck) {
    EXPECT_TRUE(IsXpOrLater(2, 5, 1));
    EXPECT_TRUE(IsXpOrLater(2, 5, 2));
    EXPECT_TRUE(IsXpOrLater(2, 6, 0));
    EXPECT_TRUE(IsXpOrLater(2, 10, 0));
    EXPECT_FALSE(IsXpOrLater(2, 5, 0));  // Windows 2000
    EXPECT_FALSE(IsXpOrLater(2, 4, 90));
    EXPECT_FALSE(IsXpOrLater(1, 10, 0));  // Windows 9x family
}

TEST(InstallerEngine, VersionComesFromAValidFixedBlockOnly) {
    FileVersion version;
    EXPECT_FALSE(ReadFixedFileVersion(0, 0x00020000, version));
    EXPECT_EQ(version.major, 0u);
    ASSERT_TRUE(ReadFixedFileVersion(kFixedFileInfoSignature, 0x00020005, version));
    EXPECT_EQ(version.major, 2u);
    EXPECT_EQ(version.minor, 5u);
    EXPECT_TRUE(EngineVersionAcceptable(version));
    ASSERT_TRUE(ReadFixedFileVersion(kFixedFileInfoSignature, 0x0001FFFF, version));
    EXPECT_FALSE(EngineVersionAcceptable(version));  // 1.x, whatever its minor version
}

}  // namespace
}  // namespace gr
