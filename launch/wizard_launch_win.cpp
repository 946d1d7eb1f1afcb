#include "launch/wizard_launch_win.h"

#include "base/log.h"
#include "framework/handles_win.h"
#include "launch/processor_mode.h"
#include "launch/redirection_guard_win.h"
#include "launch/window_iterator_win.h"

namespace gr {
namespace {

constexpr DWORD kWindowWatchMilliseconds = 100;

// The error of a wait that failed; never 0, which would read as the wizard's end.
DWORD WaitError() {
    DWORD error = ::GetLastError();
    return error != 0 ? error : kFailed;
}

// Watches for the wizard's first visible window, then waits for its end. Returns 0 once
// the process has ended, else the error of the wait that failed.
DWORD WaitForWizard(const PROCESS_INFORMATION& process, HANDLE wizardShown) {
    DWORD waited = WAIT_TIMEOUT;
    do {
        waited = ::WaitForSingleObject(process.hProcess, kWindowWatchMilliseconds);
        if (waited == WAIT_FAILED) return WaitError();
        if (FindVisibleWindow(process.dwProcessId)) {
            ::SetEvent(wizardShown);
            break;
        }
    } while (waited == WAIT_TIMEOUT);
    if (waited == WAIT_TIMEOUT) waited = ::WaitForSingleObject(process.hProcess, INFINITE);
    if (waited == WAIT_FAILED) return WaitError();
    return waited == WAIT_OBJECT_0 ? 0 : kFailed;
}

// What the wait and the exit code say of the wizard's end.
WizardEnd EndOf(const PROCESS_INFORMATION& process, HANDLE wizardShown) {
    WizardWait wait;
    wait.waitError = WaitForWizard(process, wizardShown);
    if (wait.waitError != 0) return DecideWizardEnd(wait);  // still active, perhaps: not asked
    DWORD code = 0;
    wait.exitCodeRead = ::GetExitCodeProcess(process.hProcess, &code) != FALSE;
    if (!wait.exitCodeRead) wait.readError = ::GetLastError();
    wait.exitCode = code;
    return DecideWizardEnd(wait);
}

}  // namespace

WizardEnd RunInstallerWizard(const WizardLaunch& launch) {
    std::wstring commandLine = L"\"" + launch.path + L"\" " + launch.arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ::SetCurrentDirectoryW(launch.workingFolder.c_str());

    RedirectionGuard guard;
    if (!guard.Apply(launch.processorType)) {
        guard.Restore();
        return WizardEnd{kProcessorModeUnfit};
    }
    BOOL created = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &startup, &process);
    DWORD error = created ? 0 : ::GetLastError();
    guard.Restore();  // redirection is off around the creation call only
    if (!created) {
        if (launch.log) launch.log->Text(Format(L"CreateProcessW failed, error %d\n", static_cast<int32_t>(error)));
        return WizardEnd{kWizardNotStarted};
    }
    Handle processHandle(process.hProcess);
    Handle threadHandle(process.hThread);
    if (launch.log) launch.log->Close();  // the wizard may write to the same file

    WizardEnd end = EndOf(process, launch.wizardShown);
    processHandle.Reset();
    threadHandle.Reset();
    if (launch.log) launch.log->Reopen();
    return end;
}

}  // namespace gr
