#include "app/installer_app_win.h"

#include "app/failure_report.h"
#include "app/string_table_texts_win.h"
#include "base/log.h"
#include "checks/administrator_win.h"
#include "checks/framework_win.h"
#include "checks/installer_engine.h"
#include "checks/system_win.h"
#include "framework/common_controls_win.h"
#include "framework/errors_win.h"
#include "framework/module_path_win.h"
#include "framework/string_table_win.h"
#include "framework/wait_loop_win.h"
#include "launch/wow64_win.h"
#include "payload/free_space_win.h"
#include "res/resource_ids.h"
#include "trust/signer_details_win.h"
#include "trust/verification_win.h"
#include "ui/message_dialog_win.h"
#include "ui/splash_win.h"

namespace gr {
namespace {

// Logs which call failed and returns its error as a result code.
uint32_t Failed(const wchar_t* call) {
    DWORD error = ::GetLastError();
    LogFormat(L"%s failed, error %d\n", call, static_cast<int32_t>(error));
    return ResultFromError(error);
}

}  // namespace

bool CGearRackInstallerApp::InitInstance() {
    state.openPromptCount = 0;
    settings_ = ReadPackageSettings(StringTableTexts(Instance()));
    RegisterCommonControls();
    ComApartment apartment;  // this thread's apartment, for start-up, the run and the report
    uint32_t result = StartUp();
    if (result == 0) result = RunAndWait();
    // A refused start-up, a run that could not be set up or waited for, must not end the
    // process with 0: the result is the exit code's source.
    state.runResult = result;
    LogText(RestartNotice(result, state.wizardExitCode));
    if (NeedsReport(result, state.wizardExitCode)) ReportFailure(result);
    return false;
}

// Start-up: the options pass and the checks, in order; the first failure stops it.
uint32_t CGearRackInstallerApp::StartUp() {
    ReadCommandLine();
    uint32_t result = ProcessOptions();
    if (result != 0) return result;
    LogFormat(L"Started %ld\n", static_cast<int32_t>(::GetTickCount()));
    IsRunningUnderWow64();  // caches its answer on this thread before the worker exists
    result = CheckSignature();
    if (result != 0) return result;
    LogSignerDetails();
    return CheckPrerequisites();
}

// The program file's own signature. Not verified: a silent run stops; otherwise the user
// decides whether to run it anyway.
uint32_t CGearRackInstallerApp::CheckSignature() {
    std::wstring verification;
    if (VerifyAuthenticodeSignature(GetOwnModulePath(), verification) == 0) return 0;
    if (state.silent) {
        LogText(L"Not signed correctly so failing now!\n");
        return kNotVerified;
    }
    return AskToRunUnverified(verification) ? 0 : kNotVerified;
}

// The question dialog. True for Yes.
bool CGearRackInstallerApp::AskToRunUnverified(const std::wstring& verification) {
    const std::wstring& product = settings_.Text(Setting::Product);
    CGearRackInstallerDlg question(product, true);
    question.heading = Format(LoadStringResource(Instance(), IDS_VERIFY_QUESTION), product);
    question.message = verification;
    if (question.DoModal() != IDOK) return false;
    DrainMessages();  // what the dialog left behind must not reach the run
    return true;
}

// Logs the signer and takes the program name the signature gives, for the wizard.
void CGearRackInstallerApp::LogSignerDetails() {
    state.programName = settings_.Text(Setting::ProgramName);
    gr::LogSignerDetails(GetOwnModulePath(), state.programName);
}

// The machine's prerequisites, in order; the first one missing stops start-up.
uint32_t CGearRackInstallerApp::CheckPrerequisites() {
    if (settings_.AdministratorRequired() && !IsUserAdministrator()) return kNotAdministrator;
    if (!CheckFrameworkRequirement(settings_.FrameworkLevels(), state.requiredFramework)) return kFrameworkMissing;
    if (!CheckInstallerEngine()) return kInstallerEngineTooOld;
    return CheckDiskSpace(settings_.RequiredMegabytes(), state.workingFolderRoot, state.freeSpace);
}

// The run: the worker does the work while this thread pumps messages and waits.
uint32_t CGearRackInstallerApp::RunAndWait() {
    runFinished_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!runFinished_) return Failed(L"CreateEventW");
    wizardShown_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!wizardShown_) return Failed(L"CreateEventW");
    Handle worker(::CreateThread(nullptr, 0, RunThreadProc, this, 0, nullptr));
    if (!worker) return Failed(L"CreateThread");
    worker.Reset();  // the worker ends on its own; its handle is not needed

    // The splash covers the wait; it stays hidden in silent mode and while a prompt is open.
    SplashDlg splash;
    splash.Create();
    if (!state.silent && state.openPromptCount == 0) splash.Show();
    uint32_t waited = RunWaitLoop(wizardShown_.Get(), runFinished_.Get(), state.openPromptCount,
                                  state.silent ? nullptr : &splash);
    splash.Dismiss();
    if (waited != 0 && ::WaitForSingleObject(runFinished_.Get(), INFINITE) != WAIT_OBJECT_0)
        return waited;  // the worker's outcome cannot be known
    return state.runResult;
}

int CGearRackInstallerApp::ExitInstance() {
    CWinApp::ExitInstance();
    state.wizardExitCode = ProcessExitCode(state.runResult, state.wizardExitCode);
    LogFormat(L"Ended %ld\n", static_cast<int32_t>(::GetTickCount()));
    CloseLog();
    return static_cast<int>(state.wizardExitCode);
}

}  // namespace gr
