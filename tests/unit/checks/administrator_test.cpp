#include "checks/administrator.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

TEST(AdministratorRequired, OnlyTheExactTextZeroLiftsTheRequirement) {
    EXPECT_FALSE(AdministratorRequiredByEntry(L"0"));
    for (const wchar_t* text : {L"1", L"00", L" 0", L"0 ", L"", L"O", L"-0"})
        EXPECT_TRUE(AdministratorRequiredByEntry(text)) << "entry: '" << text << "'";
}

}  // namespace
}  // namespace gr
