#include "wizard/install_plan.h"

#include <gtest/gtest.h>

namespace wiz {
namespace {

Item MakeItem(const wchar_t* name, const wchar_t* block, const wchar_t* target, uint32_t size) {
    return Item{name, block, target, size};
}

const std::vector<DataBlock> kBlocks = {{L"core", 17, 5}, {L"docs", 30, 3}, {L"empty", 40, 0}};

TEST(WizardInstallPlan, MatchesItemsWithBlocksAndListsTheFoldersParentsFirst) {
    InstallPlan plan = MakeInstallPlan({MakeItem(L"Core", L"core", L"core.txt", 5),
                                        MakeItem(L"Docs", L"docs", L"Docs\\Guide\\guide.txt", 3),
                                        MakeItem(L"More", L"empty", L"docs\\Notes\\n.txt", 0),
                                        MakeItem(L"Again", L"core", L"Docs\\copy.txt", 5)},
                                       kBlocks, L"uninstall-info.txt");
    ASSERT_EQ(plan.error, L"");
    EXPECT_EQ(plan.folders, (std::vector<std::wstring>{L"Docs", L"Docs\\Guide", L"docs\\Notes"}));
    ASSERT_EQ(plan.files.size(), 4u);
    EXPECT_EQ(plan.files[1].component, L"Docs");
    EXPECT_EQ(plan.files[1].target, L"Docs\\Guide\\guide.txt");
    EXPECT_EQ(plan.files[1].offset, 30u);
    EXPECT_EQ(plan.files[1].size, 3u);
    EXPECT_EQ(plan.files[3].offset, 17u);  // one block may serve two items
    EXPECT_EQ(plan.bytes, 13u);
}

TEST(WizardInstallPlan, RefusedWithTheReason) {
    EXPECT_EQ(MakeInstallPlan({MakeItem(L"Core", L"Core", L"a", 5)}, kBlocks, L"u.txt").error,
              L"component Core: the data file has no block Core");
    EXPECT_EQ(MakeInstallPlan({MakeItem(L"Core", L"core", L"a", 4)}, kBlocks, L"u.txt").error,
              L"component Core: the items list states 4 bytes, the data file holds 5");
    EXPECT_EQ(MakeInstallPlan({MakeItem(L"Core", L"core", L"a", 5), MakeItem(L"Info", L"docs", L"U.TXT", 3)}, kBlocks,
                              L"u.txt")
                  .error,
              L"component Info: its file would take the place of the uninstall information");
    InstallPlan refused = MakeInstallPlan({MakeItem(L"Core", L"core", L"a\\b", 5), MakeItem(L"X", L"x", L"c", 1)},
                                          kBlocks, L"u.txt");
    EXPECT_TRUE(refused.files.empty());
    EXPECT_TRUE(refused.folders.empty());
}

}  // namespace
}  // namespace wiz
