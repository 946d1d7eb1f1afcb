#include "framework/string_table_win.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

// The test program carries no string table: every entry reads as empty, never garbage.
TEST(StringTable, MissingEntriesReadAsEmpty) {
    EXPECT_EQ(LoadStringResource(::GetModuleHandleW(nullptr), 1), L"");
    EXPECT_EQ(LoadStringResource(::GetModuleHandleW(nullptr), 145), L"");
}

}  // namespace
}  // namespace gr
