#include "launch/wizard_launch_win.h"

#include "base/log.h"
#include "framework/handles_win.h"
#include "launch/processor_mode.h"
#include "launch/redirection_guard_win.h"
#include "launch/window_iterator_win.h"

namespace gr {
namespace {

constexpr DWORD kWindowWatchMilliseconds = 100;

// Watches for the wizard's first visible window, then waits for its end.
void WaitForWizard(const PROCESS_INFORMATION& process, HANDLE wizardShown) {
    DWORD waited = WAIT_TIMEOUT;
    do {
        waited = ::WaitForSingleObject(process.hProcess, kWindowWatchMilliseconds);
        if (FindVisibleWindow(process.dwProcessId)) {
            ::SetEvent(wizardShown);
            break;
        }
    } while (waited == WAIT_TIMEOUT);
    if (waited == WAIT_TIMEOUT) ::WaitForSingleObject(process.hProcess, INFINITE);
}

}  // namespace

uint32_t RunInstallerWizard(const WizardLaunch& launch, uint32_t& exitCode) {
    exitCode = 0;
    std::wstring commandLine = L"\"" + launch.path + L"\" " + launch.arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ::SetCurrentDirectoryW(launch.workingFolder.c_str());

    RedirectionGuard guard;
    if (!guard.Apply(launch.processorType)) {
        guard.Restore();
        return kProcessorModeUnfit;
    }
    BOOL created = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &startup, &process);
    guard.Restore();  // redirection is off around the creation call only
    if (!created) return kWizardNotStarted;
    Handle processHandle(process.hProcess);
    Handle threadHandle(process.hThread);
    if (launch.log) launch.log->Close();  // the wizard may write to the same file

    WaitForWizard(process, launch.wizardShown);
    uint32_t result = 0;
    DWORD code = 0;
    if (!::GetExitCodeProcess(processHandle.Get(), &code)) {
        DWORD error = ::GetLastError();
        result = error != 0 ? error : kFailed;  // never a failure that reads as success
        code = 0;
    }
    exitCode = code;
    processHandle.Reset();
    threadHandle.Reset();
    if (launch.log) launch.log->Reopen();
    return result;
}

}  // namespace gr
