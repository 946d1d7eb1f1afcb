#include "framework/dll_safety_win.h"

#include <gtest/gtest.h>

#include <string>

namespace gr {
namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(::towlower(c));
    return text;
}

TEST(DllSafety, SystemLibrariesComeFromTheSystemFolder) {
    RestrictDllSearch();
    Module version = LoadSystemLibrary(L"version.dll");
    ASSERT_TRUE(version);
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(version.Get(), path, MAX_PATH);
    wchar_t system[MAX_PATH] = {};
    UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(Lower(path), Lower(std::wstring(system, length) + L"\\version.dll"));
    EXPECT_FALSE(LoadSystemLibrary(L"no-such-library.dll"));
}

}  // namespace
}  // namespace gr
