// Running the installer wizard as a child process and waiting for it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/log.h"
#include "base/result_codes.h"
#include "launch/wizard_end.h"

namespace gr {

struct WizardLaunch {
    std::wstring processorType;          // the package's program type (entry 0)
    std::wstring path;                   // the wizard's full path
    std::wstring arguments;              // passed on unchanged
    std::wstring workingFolder;          // the wizard's current folder, and the program's from now on
    HANDLE wizardShown = nullptr;        // signalled once the wizard shows its first window
    DiagnosticLog* log = nullptr;        // closed while the wizard runs, reopened after (may be null)
};

// Starts the wizard (the log is closed while it runs), signals `wizardShown` at its first
// visible window and waits for its end without a limit. The result is 0 with the wizard's
// exit code; kProcessorModeUnfit when its processor mode does not fit; kWizardNotStarted
// when it could not be started (the system's error is logged); the Win32 error when its
// exit code could not be read; the wait's own failure, with the wizard perhaps still
// running, when its end could not be waited for.
WizardEnd RunInstallerWizard(const WizardLaunch& launch);

}  // namespace gr
