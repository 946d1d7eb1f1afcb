#include "base/long_path.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

TEST(LongPath, ThePrefixComesFrom248Characters) {
    const std::wstring drive = L"C:\\";
    const std::wstring share = L"\\\\server\\share\\";
    struct Case {
        std::wstring path;
        std::wstring expected;
    };
    const Case cases[] = {
        {drive + std::wstring(244, L'a'), drive + std::wstring(244, L'a')},  // 247: as it is
        {drive + std::wstring(245, L'a'), L"\\\\?\\C:\\" + std::wstring(245, L'a')},
        {share + std::wstring(232, L'a'), share + std::wstring(232, L'a')},  // 247
        {share + std::wstring(233, L'a'), L"\\\\?\\UNC\\server\\share\\" + std::wstring(233, L'a')},
        {L"\\\\?\\C:\\" + std::wstring(300, L'a'), L"\\\\?\\C:\\" + std::wstring(300, L'a')},  // never twice
        {L"C:\\short", L"C:\\short"},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(LongPath(c.path), c.expected) << c.path.size();
}

}  // namespace
}  // namespace gr
