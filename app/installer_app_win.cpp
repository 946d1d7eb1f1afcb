#include "app/installer_app_win.h"

#include <objbase.h>

#include "app/failure_report.h"
#include "app/log.h"
#include "app/wait_loop_win.h"
#include "checks/administrator.h"
#include "checks/administrator_win.h"
#include "checks/framework_win.h"
#include "checks/installer_engine.h"
#include "checks/system_win.h"
#include "framework/common_controls_win.h"
#include "framework/errors_win.h"
#include "framework/string_table_win.h"
#include "launch/wizard_launch_win.h"
#include "launch/wow64_win.h"
#include "payload/embedded_info_win.h"
#include "payload/resources_win.h"
#include "payload/temp_folder_prompt_win.h"
#include "trust/module_path_win.h"

namespace gr {
namespace {

// The program's texts from its own string table.
class StringTableTexts : public TextSource {
public:
    explicit StringTableTexts(HINSTANCE module) : module_(module) {}
    std::wstring Text(unsigned entry) const override { return LoadStringResource(module_, entry); }

private:
    HINSTANCE module_;
};

// Logs which call failed and returns its error as a result code.
uint32_t Failed(const wchar_t* call) {
    DWORD error = ::GetLastError();
    LogFormat(L"%s failed, error %d\n", call, static_cast<int32_t>(error));
    return ResultFromError(error);
}

}  // namespace

bool CGearRackInstallerApp::InitInstance() {
    state.openPromptCount = 0;
    RegisterCommonControls();
    ::CoInitialize(nullptr);  // this thread keeps its apartment until the process ends
    uint32_t result = StartUp();
    if (result == 0)
        result = RunAndWait();
    else
        state.runResult = result;  // a refused start-up must not end the process with 0
    if (NeedsReport(result, state.wizardExitCode)) ReportFailure(result);
    return false;
}

// Tells the user why the run failed: in silent mode in the log.
void CGearRackInstallerApp::ReportFailure(uint32_t result) {
    FailureFacts facts{result, state.wizardExitCode, state.requiredFramework, state.freeSpace, CommandLineText()};
    StringTableTexts texts(Instance());
    FailureReport report = ComposeFailureReport(facts, texts);
    if (state.silent) {
        LogText(report.message);
        LogText(L"\n");
    }
}

// Start-up: the options pass and the checks, in order; the first failure stops it.
uint32_t CGearRackInstallerApp::StartUp() {
    uint32_t result = ProcessOptions();
    if (result != 0) return result;
    LogFormat(L"Started %ld\n", static_cast<int32_t>(::GetTickCount()));
    IsRunningUnderWow64();  // caches its answer on this thread before the worker exists
    return CheckPrerequisites();
}

// The machine's prerequisites, in order; the first one missing stops start-up.
uint32_t CGearRackInstallerApp::CheckPrerequisites() {
    if (IsAdministratorRequired(Instance()) && !IsUserAdministrator()) return kNotAdministrator;
    if (!CheckFrameworkRequirement(Instance(), state.requiredFramework)) return kFrameworkMissing;
    if (!CheckInstallerEngine()) return kInstallerEngineTooOld;
    if (!CheckDiskSpace(Instance(), state.freeSpace)) return kNotEnoughSpace;
    return 0;
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

    uint32_t waited = RunWaitLoop(wizardShown_.Get(), runFinished_.Get(), state.openPromptCount, nullptr);
    if (waited != 0 && ::WaitForSingleObject(runFinished_.Get(), INFINITE) != WAIT_OBJECT_0)
        return waited;  // the worker's outcome cannot be known
    return state.runResult;
}

DWORD WINAPI CGearRackInstallerApp::RunThreadProc(void* parameter) {
    auto* app = static_cast<CGearRackInstallerApp*>(parameter);
    ComApartment apartment;
    app->state.runResult = app->RunEmbeddedResources(app->state.wizardExitCode);
    ::SetEvent(app->runFinished_.Get());  // the run result is stored before this signal
    return 0;
}

uint32_t CGearRackInstallerApp::RunEmbeddedResources(uint32_t& wizardExitCode) {
    LogText(L"Run Embedded Resources \n");
    wizardExitCode = 0;
    uint32_t result = ProcessOptions();
    if (result == 0) result = PrepareWorkingFolderRoot();
    if (result != 0) return result;  // nothing extracted, nothing to remove
    ExtractEmbeddedInformation();
    std::wstring wizardPath;
    const std::wstring& folder = workingFolder_.Get(state.zeroGuid);
    result = EnumerateResources(Instance(), state.resourceCatalogue, folder, wizardPath);
    if (state.runWizard && result == 0) {
        WizardLaunch launch{Instance(), wizardPath, state.wizardArguments, folder, wizardShown_.Get()};
        result = RunInstallerWizard(launch, wizardExitCode);
    }
    LogFormat(L"Remove folder '%s'\n", state.removeFolder ? L"Yes" : L"No");
    if (state.removeFolder) workingFolder_.Remove(state.resourceCatalogue);
    return result;
}

// Proves the root can take files; otherwise asks the user once for another and tries that.
uint32_t CGearRackInstallerApp::PrepareWorkingFolderRoot() {
    uint32_t result = workingFolder_.ProbeRoot(state.workingFolderRoot);
    if (result == 0) return 0;
    result = PromptForTempFolder(Instance(), state.silent, state.openPromptCount, state.workingFolderRoot);
    return result == 0 ? workingFolder_.ProbeRoot(state.workingFolderRoot) : result;
}

void CGearRackInstallerApp::ExtractEmbeddedInformation() {
    std::wstring output;
    const std::wstring& folder = workingFolder_.Get(state.zeroGuid);
    if (!folder.empty() && JoinPath(folder, L"info.xml", output)) ScanForEmbeddedInformation(GetOwnModulePath(), output);
}

int CGearRackInstallerApp::ExitInstance() {
    CWinApp::ExitInstance();
    if (state.runResult != 0) state.wizardExitCode = state.runResult;
    LogFormat(L"Ended %ld\n", static_cast<int32_t>(::GetTickCount()));
    CloseLog();
    return static_cast<int>(state.wizardExitCode);
}

}  // namespace gr
