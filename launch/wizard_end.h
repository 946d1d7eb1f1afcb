// What the end of the wait for the wizard means for the run: its result, the wizard's exit
// code, and whether the wizard may still be running in its folder.
#pragma once

#include <cstdint>

namespace gr {

// What the launch saw of the wizard's end.
struct WizardWait {
    uint32_t waitError = 0;      // 0 when the wait saw the process end; else the wait's error
    bool exitCodeRead = false;   // GetExitCodeProcess answered
    uint32_t exitCode = 0;       // its answer
    uint32_t readError = 0;      // its error when it did not answer
};

struct WizardEnd {
    uint32_t result = 0;         // 0, or the failure's own result code
    uint32_t exitCode = 0;       // the wizard's exit code; 0 when it is not known
    bool mayStillRun = false;    // its end was never seen: its folder must not be removed
};

// A wait that failed never passes for the wizard's end: its exit code would read as
// "still active", and its folder would be removed under it. A wait that saw the end
// takes the exit code as read; an unreadable one is a failure, never a success.
WizardEnd DecideWizardEnd(const WizardWait& wait);

}  // namespace gr
