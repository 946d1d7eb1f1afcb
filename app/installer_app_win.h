// The application object: it owns the installer state, runs start-up on the
// user-interface thread, hands the run to one worker thread, and turns the outcome into
// the process exit code.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/command_line_info.h"
#include "app/installer_state.h"
#include "app/options.h"
#include "app/package_settings.h"
#include "framework/app_base_win.h"
#include "framework/handles_win.h"
#include "payload/working_folder_win.h"

namespace gr {

class CGearRackInstallerApp : public CWinApp {
public:
    CGearRackInstallerApp() = default;

    bool InitInstance() override;
    int ExitInstance() override;

    // Reads the command line, once, before the first options pass.
    void ReadCommandLine();
    // An options pass: sets the installer state from the options read, opens (and so
    // empties) the log they name, composes the wizard arguments with the program name
    // known now and logs the pass. Returns 0 or the usage error.
    uint32_t ProcessOptions();
    // Tells the user why the run failed (the message for `result`, or the wizard's exit code).
    void ReportFailure(uint32_t result);
    // The run sequence of the worker thread; fills `wizardExitCode`.
    uint32_t RunEmbeddedResources(uint32_t& wizardExitCode);

    InstallerState state;

private:
    static DWORD WINAPI RunThreadProc(void* app);
    uint32_t StartUp();
    uint32_t CheckSignature();
    bool AskToRunUnverified(const std::wstring& verification);
    void LogSignerDetails();
    uint32_t CheckPrerequisites();
    uint32_t PrepareWorkingFolderRoot();
    void ExtractEmbeddedInformation();
    uint32_t RunAndWait();

    PackageSettings settings_;  // read once, before anything else
    // The command line, read once at start-up and only read after: the option table left
    // for the wizard, and what the options say (but the log's full path, which the log holds).
    CCommandLineInfoEx commandLine_;
    OptionsOutcome options_;
    WorkingFolder workingFolder_;
    Handle runFinished_;
    Handle wizardShown_;
};

}  // namespace gr
