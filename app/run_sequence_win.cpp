// The run sequence on the worker thread: the working folder, the embedded information,
// the payload, the wizard, and the removal.
#include "app/installer_app_win.h"
#include "base/log.h"
#include "framework/module_path_win.h"
#include "launch/wizard_launch_win.h"
#include "payload/embedded_info_win.h"
#include "payload/resources_win.h"
#include "payload/temp_folder_prompt_win.h"

namespace gr {

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
    // No folder: its root too long, or a refused folder at its path (logged).
    result = folder.empty() ? kFailed : EnumerateResources(Instance(), state.resourceCatalogue, folder, wizardPath);
    bool wizardMayRun = false;
    if (state.runWizard && result == 0) {
        WizardLaunch launch{settings_.Text(Setting::Processor), wizardPath, state.wizardArguments, folder,
                            wizardShown_.Get(), &ProcessLog()};
        WizardEnd end = RunInstallerWizard(launch);
        result = end.result;
        wizardExitCode = end.exitCode;
        wizardMayRun = end.mayStillRun;
    }
    if (wizardMayRun) LogText(L"The wizard's end could not be seen; its folder stays\n");
    bool remove = state.removeFolder && !wizardMayRun;  // never under a wizard that may still run
    LogFormat(L"Remove folder '%s'\n", remove ? L"Yes" : L"No");
    if (remove) workingFolder_.Remove(state.resourceCatalogue);
    return result;
}

// Proves the root can take files; otherwise asks the user once for another and tries that.
// Without another root the first probe's failure stands: it names a root that is a file.
uint32_t CGearRackInstallerApp::PrepareWorkingFolderRoot() {
    uint32_t probed = workingFolder_.ProbeRoot(state.workingFolderRoot);
    if (probed == 0) return 0;
    uint32_t prompted = PromptForTempFolder(Instance(), settings_.Text(Setting::Product), state.silent, state.openPromptCount, ThreadId(),
                                            state.workingFolderRoot);
    return prompted == 0 ? workingFolder_.ProbeRoot(state.workingFolderRoot) : probed;
}

void CGearRackInstallerApp::ExtractEmbeddedInformation() {
    std::wstring output;
    const std::wstring& folder = workingFolder_.Get(state.zeroGuid);
    if (!folder.empty() && JoinPath(folder, L"info.xml", output)) ScanForEmbeddedInformation(GetOwnModulePath(), output);
}

}  // namespace gr
