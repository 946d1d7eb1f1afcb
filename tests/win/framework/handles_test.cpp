#include "framework/handles_win.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

bool IsLive(HANDLE handle) {
    DWORD flags = 0;
    return ::GetHandleInformation(handle, &flags) != 0;
}

HANDLE NewEvent() { return ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }

TEST(Handles, CloseOnEveryWayOutOfScope) {
    HANDLE raw = nullptr;
    {
        Handle owner(NewEvent());
        raw = owner.Get();
        ASSERT_TRUE(IsLive(raw));
    }
    EXPECT_FALSE(IsLive(raw));

    auto early = [&]() -> bool {
        Handle owner(NewEvent());
        raw = owner.Get();
        return true;  // early return: still closed
    };
    EXPECT_TRUE(early());
    EXPECT_FALSE(IsLive(raw));
}

TEST(Handles, MovingHandsOverAndResetReleasesTheOldOne) {
    Handle first(NewEvent());
    HANDLE raw = first.Get();
    Handle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), raw);
    second = Handle(NewEvent());
    EXPECT_FALSE(IsLive(raw));
    HANDLE released = second.Release();
    EXPECT_FALSE(second);
    EXPECT_TRUE(IsLive(released));
    ::CloseHandle(released);
}

TEST(Handles, FileOwnersTreatInvalidHandleValueAsNone) {
    FileHandle none(::CreateFileW(L"Z:\\no\\such\\folder\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(none);
    EXPECT_EQ(none.Get(), INVALID_HANDLE_VALUE);
    FindHandle find;
    WIN32_FIND_DATAW data;
    *find.Receive() = ::FindFirstFileW(L"C:\\windows\\*", &data);
    EXPECT_TRUE(find);
}

TEST(Handles, RegistryKeysAndModulesAreReleased) {
    RegKey key;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
    EXPECT_TRUE(key);
    Module module(::LoadLibraryExW(L"shlwapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    EXPECT_TRUE(module);
}

}  // namespace
}  // namespace gr
