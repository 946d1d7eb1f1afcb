#include "app/option_table.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

std::vector<std::wstring> Names(const OptionTable& table) {
    std::vector<std::wstring> names;
    for (const OptionTable::Entry* entry : table.Entries()) names.push_back(entry->name);
    return names;
}

// Two different names that share a bucket, found by search so that the test does not
// depend on knowing the hash by heart.
std::pair<std::wstring, std::wstring> CollidingNames() {
    std::wstring first = L"a";
    for (wchar_t c = L'b'; c <= L'z'; ++c)
        for (wchar_t d = L'a'; d <= L'z'; ++d) {
            std::wstring second = {c, d};
            if (OptionTable::BucketOf(second) == OptionTable::BucketOf(first)) return {first, second};
        }
    return {};
}

TEST(OptionTable, BucketsFollowTheMultiplyBy33Hash) {
    EXPECT_EQ(OptionTable::BucketOf(L"temp"), 5u);
    EXPECT_EQ(OptionTable::BucketOf(L"IAgreeToTheEULA"), 9u);
    EXPECT_EQ(OptionTable::BucketOf(L"log"), 15u);
    EXPECT_EQ(OptionTable::BucketOf(L""), 0u);
    // Arithmetic wraps at 32 bits: a long name must not overflow into another result.
    std::wstring longName(200, L'z');
    uint32_t hash = 0;
    for (wchar_t c : longName) hash = hash * 33u + static_cast<uint32_t>(c);
    EXPECT_EQ(OptionTable::BucketOf(longName), hash % 17u);
}

TEST(OptionTable, EnumeratesBucketsInOrderWhateverTheInsertionOrder) {
    OptionTable table;
    table.Set(L"IAgreeToTheEULA", L"TRUE");
    table.Set(L"log", L"c:\\l.txt");
    table.Set(L"temp", L"d:\\w");
    EXPECT_EQ(Names(table), (std::vector<std::wstring>{L"temp", L"IAgreeToTheEULA", L"log"}));
}

TEST(OptionTable, NewNamesGoToTheFrontOfTheirChainAndUpdatesKeepTheirPlace) {
    auto [first, second] = CollidingNames();
    ASSERT_FALSE(second.empty());
    OptionTable table;
    table.Set(first, L"1");
    table.Set(second, L"2");
    EXPECT_EQ(Names(table), (std::vector<std::wstring>{second, first}));
    table.Set(first, L"3");
    EXPECT_EQ(Names(table), (std::vector<std::wstring>{second, first}));
    EXPECT_EQ(*table.Find(first), L"3");
    table.Remove(second);
    EXPECT_EQ(Names(table), (std::vector<std::wstring>{first}));
    EXPECT_EQ(table.Find(second), nullptr);
}

TEST(OptionTable, NamesCompareExactly) {
    OptionTable table;
    table.Set(L"log", L"x");
    EXPECT_EQ(table.Find(L"LOG"), nullptr);
    table.Remove(L"Log");
    EXPECT_NE(table.Find(L"log"), nullptr);
}

}  // namespace
}  // namespace gr
