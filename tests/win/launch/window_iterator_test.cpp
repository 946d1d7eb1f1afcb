// The window iterators that find the wizard's first window. A change in launch/ must run
// these, tests/e2e/test_launch.py and tests/e2e/test_windows.py (whose splash test is the
// only one that sees the launch signal the wizard's window and the splash go).
#include "launch/window_iterator_win.h"

#include <gtest/gtest.h>

#include <set>

namespace gr {
namespace {

struct Window {
    explicit Window(bool visible)
        : handle(::CreateWindowExW(0, L"STATIC", L"iterator test", WS_OVERLAPPED | (visible ? WS_VISIBLE : 0), 0, 0,
                                   50, 50, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr)) {}
    ~Window() {
        if (handle) ::DestroyWindow(handle);
    }
    HWND handle;
};

std::set<HWND> Collect(CWindowIterator& iterator) {
    std::set<HWND> windows;
    for (HWND window = iterator.FirstWindow(); window; window = iterator.NextWindow()) windows.insert(window);
    return windows;
}

TEST(WindowIterator, OnlyVisibleTopLevelWindowsOfTheProcessAreFound) {
    Window hidden(false);
    ASSERT_TRUE(hidden.handle) << "no window can be made: run the Win32 tests with a display";
    DWORD self = ::GetCurrentProcessId();
    EXPECT_EQ(FindVisibleWindow(self), nullptr);
    Window visible(true);
    EXPECT_EQ(FindVisibleWindow(self), visible.handle);

    CMainWindowIterator all(self, false);
    std::set<HWND> mine = Collect(all);
    EXPECT_TRUE(mine.count(hidden.handle) && mine.count(visible.handle));
    CMainWindowIterator other(self + 4, true);  // no such process among the windows
    EXPECT_EQ(Collect(other).count(visible.handle), 0u);
}

TEST(WindowIterator, MatchesBeyondTheCapacityAreDropped) {
    Window a(true), b(true), c(true);
    CMainWindowIterator two(::GetCurrentProcessId(), true, 2);
    EXPECT_EQ(Collect(two).size(), 2u);
    CWindowIterator everything(1024);
    EXPECT_GE(Collect(everything).size(), 3u);
    EXPECT_EQ(everything.NextWindow(), nullptr);  // after the last, null again
}

}  // namespace
}  // namespace gr
