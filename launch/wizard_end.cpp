#include "launch/wizard_end.h"

#include "base/result_codes.h"

namespace gr {

WizardEnd DecideWizardEnd(const WizardWait& wait) {
    WizardEnd end;
    if (wait.waitError != 0) {
        end.result = ResultFromWin32Error(wait.waitError);
        end.mayStillRun = true;
    } else if (!wait.exitCodeRead) {
        end.result = wait.readError != 0 ? wait.readError : kFailed;
    } else {
        end.exitCode = wait.exitCode;
    }
    return end;
}

}  // namespace gr
