// Running the installer wizard as a child process and waiting for it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/log.h"
#include "base/result_codes.h"

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
// visible window and waits for its end without a limit. Returns 0 with its exit code in
// `exitCode`; kProcessorModeUnfit when its processor mode does not fit; kWizardNotStarted
// when it could not be started; the Win32 error when its exit code could not be read.
uint32_t RunInstallerWizard(const WizardLaunch& launch, uint32_t& exitCode);

}  // namespace gr
