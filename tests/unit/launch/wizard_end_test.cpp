#include "launch/wizard_end.h"

#include <gtest/gtest.h>

#include "base/result_codes.h"

namespace gr {
namespace {

TEST(WizardEnd, OnlyASeenEndGivesAnExitCodeAndFreesTheFolder) {
    constexpr uint32_t kStillActive = 259;
    struct Case {
        WizardWait wait;
        uint32_t result;
        uint32_t exitCode;
        bool mayStillRun;
    };
    const Case cases[] = {
        {{0, true, 0, 0}, 0, 0, false},
        {{0, true, 5, 0}, 0, 5, false},
        {{0, true, kStillActive, 0}, 0, kStillActive, false},  // seen to end: 259 is its own code
        {{0, false, 0, 6}, 6, 0, false},                       // the exit code unreadable: its error
        {{0, false, 0, 0}, kFailed, 0, false},                 // ... never a success
        {{6, true, kStillActive, 0}, 0x80070006, 0, true},     // the wait failed: no exit code, no removal
        {{5, false, 0, 0}, 0x80070005, 0, true},
        {{0x80004005, false, 0, 0}, 0x80004005, 0, true},
    };
    for (const Case& c : cases) {
        WizardEnd end = DecideWizardEnd(c.wait);
        EXPECT_EQ(end.result, c.result) << c.wait.waitError << " " << c.wait.exitCode;
        EXPECT_EQ(end.exitCode, c.exitCode) << c.wait.waitError << " " << c.wait.exitCode;
        EXPECT_EQ(end.mayStillRun, c.mayStillRun) << c.wait.waitError << " " << c.wait.exitCode;
    }
    EXPECT_EQ(ResultFromWin32Error(0), kFailed);
    EXPECT_EQ(ResultFromWin32Error(0x12345), 0x80072345u);
}

}  // namespace
}  // namespace gr
