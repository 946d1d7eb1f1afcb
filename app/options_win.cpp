// The options as the application reads them, once, with the machine facts they need; and
// each options pass, which applies them to the installer state and the log.
#include "app/installer_app_win.h"
#include "app/options.h"
#include "base/log.h"

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

// The full path of a typed path within the program's path limit (MAX_PATH with its
// terminator); an empty path is the current directory. A path that does not fit is
// refused, never cut.
bool FullPathOf(const std::wstring& typed, std::wstring& full) {
    wchar_t buffer[MAX_PATH];
    DWORD length = typed.empty() ? ::GetCurrentDirectoryW(MAX_PATH, buffer)
                                 : ::GetFullPathNameW(typed.c_str(), MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH) return false;
    full.assign(buffer, length);
    return true;
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
}

uint32_t CGearRackInstallerApp::ProcessOptions() {
    OptionsOutcome outcome = ComposeOptionsPass(commandLine_, options_, state.programName);
    state.silent = outcome.silent;
    state.zeroGuid = outcome.zeroGuid;
    state.removeFolder = outcome.removeFolder;
    state.runWizard = outcome.runWizard;
    state.workingFolderRoot = outcome.workingFolderRoot;
    state.wizardArguments = outcome.wizardArguments;
    // A log name that is a link or a folder is a usage error; no log is written then.
    bool refused = !outcome.logPath.empty() && OpenLog(outcome.logPath) == LogOpening::Refused;
    for (const std::wstring& line : outcome.logLines) LogText(line);
    return refused ? kUsageError : outcome.result;
}

}  // namespace gr
