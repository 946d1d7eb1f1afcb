// The options as the application reads them, once, with the machine facts they need; and
// each options pass, which applies them to the installer state and the log.
#include "app/installer_app_win.h"
#include "app/options.h"
#include "base/log.h"
#include "framework/checked_file_win.h"

#include <utility>

namespace gr {
namespace {

constexpr DWORD kVariableBuffer = 1024;  // wide characters

// The variable's value, or empty when it is unset or does not fit the buffer.
std::wstring EnvironmentVariable(const wchar_t* name) {
    wchar_t buffer[kVariableBuffer];
    DWORD length = ::GetEnvironmentVariableW(name, buffer, kVariableBuffer);
    return (length == 0 || length >= kVariableBuffer) ? std::wstring() : std::wstring(buffer, length);
}

std::wstring TempPath() {
    wchar_t buffer[kVariableBuffer];
    DWORD length = ::GetTempPathW(kVariableBuffer, buffer);
    return (length == 0 || length >= kVariableBuffer) ? std::wstring() : std::wstring(buffer, length);
}

}  // namespace

void CGearRackInstallerApp::ReadCommandLine() {
    ParseCommandLine(commandLine_, FullCommandLine());
    OptionFacts facts;
    facts.administratorRequired = settings_.AdministratorRequired();
    if (facts.administratorRequired)
        facts.systemDrive = EnvironmentVariable(L"SystemDrive");
    else
        facts.tempPath = TempPath();
    options_ = ReadOptions(commandLine_, facts, FullPathOf);
    NameLog(std::move(options_.logPath));  // the log holds its path from here on, and nothing else does
}

uint32_t CGearRackInstallerApp::ProcessOptions() {
    OptionsOutcome outcome = ComposeOptionsPass(commandLine_, options_, state.programName);
    state.silent = outcome.silent;
    state.zeroGuid = outcome.zeroGuid;
    state.removeFolder = outcome.removeFolder;
    state.runWizard = outcome.runWizard;
    state.workingFolderRoot = outcome.workingFolderRoot;
    state.wizardArguments = outcome.wizardArguments;
    // A log name that is a link or a file with other names is a usage error; no log is
    // written then. A folder, or a name that cannot be opened, merely leaves the run
    // without a log.
    bool refused = OpenLog() == LogOpening::Refused;
    for (const std::wstring& line : outcome.logLines) LogText(line);
    return refused ? kUsageError : outcome.result;
}

}  // namespace gr
