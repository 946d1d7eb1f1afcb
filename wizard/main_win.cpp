// The sample product's installer wizard. The bootstrapper extracts it with its package
// (configuration, items list, installation data) into a working folder and starts it
// there; see README.md for its arguments, files and exit codes.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "wizard/arguments.h"
#include "framework/dll_safety_win.h"
#include "wizard/exit_codes.h"
#include "wizard/handles_win.h"
#include "wizard/install_win.h"
#include "wizard/log_win.h"
#include "wizard/package_win.h"
#include "wizard/texts.h"
#include "wizard/wizard_dialog_win.h"

namespace {

using namespace wiz;

std::vector<std::wstring> CommandLineWords() {
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    LocalMemory owner(words);
    std::vector<std::wstring> arguments;
    for (int i = 1; words && i < count; ++i) arguments.emplace_back(words[i]);
    return arguments;
}

// Logs `message`, shows it too unless silent, and answers `code`.
int Stop(const WizardArguments& arguments, const WizardLog& log, const std::wstring& message, int code) {
    log.Line(message);
    if (!arguments.silent) ::MessageBoxW(nullptr, message.c_str(), L"Setup", MB_OK | MB_ICONERROR);
    return code;
}

void LogArguments(const WizardArguments& arguments, const WizardLog& log) {
    log.Line(std::wstring(L"started, ") + (arguments.silent ? L"silent" : L"interactive") + L", program '" +
             arguments.programName + L"'");
    for (const std::wstring& word : arguments.ignored) log.Line(L"ignored argument '" + word + L"'");
}

int Run(HINSTANCE instance, const WizardArguments& arguments, const WizardLog& log) {
    LogArguments(arguments, log);
    if (!arguments.error.empty()) return Stop(arguments, log, L"bad argument: " + arguments.error, kBadArguments);
    Package package;
    std::wstring error;
    if (!LoadPackage(package, error)) return Stop(arguments, log, L"the package cannot be used: " + error, kFailed);
    log.Line(package.config.product + L" " + package.config.version + L", " + std::to_wstring(package.items.size()) +
             L" components, " + Bytes(package.plan.bytes));
    std::wstring folder = arguments.installFolder;
    if (folder.empty() && !DefaultInstallFolder(package.config, folder, error)) return Stop(arguments, log, error, kFailed);
    if (!arguments.silent) return RunWizardDialog(instance, WizardSession{package, arguments.programName, folder}, log);
    return Install(InstallRequest{package, folder, arguments.programName}, log, nullptr).empty() ? kSucceeded : kFailed;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    gr::RestrictDllSearch();
    WizardArguments arguments = ParseArguments(CommandLineWords());
    WizardLog log(arguments.logPath);
    int code = Run(instance, arguments, log);
    log.Line(L"ended, exit code " + std::to_wstring(code));
    return code;
}
