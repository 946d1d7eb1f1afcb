// The splash window against the sample program's resources.
#include "ui/splash_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/win/ui/sample_dialogs.h"

namespace gr {
namespace {

using namespace gr::testing;

class Splash : public SampleDialogs {};

// Made hidden and centred on the screen, with nothing but its picture; shown and hidden
// as the wait loop asks; dismissed once, with code 5, and never back.
TEST_F(Splash, StartsHiddenAndCentredThenShowsHidesAndIsDismissedOnce) {
    SplashDlg splash(nullptr, module_);
    ASSERT_TRUE(splash.Create());
    HWND window = splash.Window();
    EXPECT_TRUE(splash.IsOpen());
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(::GetWindowLongW(window, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | WS_BORDER), WS_BORDER);
    HWND picture = ::GetWindow(window, GW_CHILD);
    EXPECT_EQ(::GetWindow(picture, GW_HWNDNEXT), nullptr) << "more than the picture";
    EXPECT_EQ(PictureSize(picture).cx, 428);
    EXPECT_EQ(PictureSize(picture).cy, 211);
    EXPECT_NE(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    RECT work = {}, placed = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::GetWindowRect(window, &placed);
    EXPECT_LE(std::abs((placed.left + placed.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((placed.top + placed.bottom) - (work.top + work.bottom)), 1);

    splash.Show();
    EXPECT_TRUE(::IsWindowVisible(window));
    splash.Hide();
    EXPECT_FALSE(::IsWindowVisible(window));
    splash.Dismiss();
    EXPECT_FALSE(splash.IsOpen());
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(splash.EndCode(), 5);
    splash.Show();
    splash.Dismiss();
    EXPECT_FALSE(splash.IsOpen());
}

}  // namespace
}  // namespace gr
