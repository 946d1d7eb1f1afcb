// The sample package's payload as shipped (packages/sample/payload): the wizard must be able
// to install it, so its three files must agree with one another.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "wizard/config.h"
#include "wizard/data_file.h"
#include "wizard/install_plan.h"
#include "wizard/items.h"

namespace wiz {
namespace {

const std::filesystem::path kPayload =
    std::filesystem::path(__FILE__).parent_path() / ".." / ".." / ".." / "packages" / "sample" / "payload";

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The payload's XML files are ASCII.
std::wstring Text(const std::filesystem::path& path) {
    std::string bytes = Bytes(path);
    for (char c : bytes) EXPECT_GE(static_cast<signed char>(c), 0) << path;
    return std::wstring(bytes.begin(), bytes.end());
}

TEST(WizardSamplePayload, ConfigurationItemsAndDataAgree) {
    ConfigResult config = ReadConfig(Text(kPayload / "wizard.config"));
    ASSERT_EQ(config.error, L"");
    EXPECT_EQ(config.config.product, L"Oakcrest");
    ItemList items = ReadItems(Text(kPayload / std::filesystem::path(config.config.itemsFile)));
    ASSERT_EQ(items.error, L"");
    std::string bytes = Bytes(kPayload / std::filesystem::path(config.config.dataFile));
    DataFile data = ReadDataFile(bytes);
    ASSERT_EQ(data.error, L"");
    InstallPlan plan = MakeInstallPlan(items.items, data.blocks, config.config.uninstallFile);
    ASSERT_EQ(plan.error, L"");
    EXPECT_EQ(plan.files.size(), items.items.size());
    EXPECT_GT(plan.bytes, 0u);
    EXPECT_LT(bytes.size(), 4096u);  // a sample stays small
}

}  // namespace
}  // namespace wiz
