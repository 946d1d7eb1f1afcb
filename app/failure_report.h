// The one sentence a failed run gives the user: which message a result code gets, filled
// from the installer state, and the download page for a missing .NET Framework.
#pragma once

#include <cstdint>
#include <string>

#include "app/text_source.h"
#include "checks/framework.h"
#include "payload/working_folder.h"

namespace gr {

struct FailureFacts {
    std::wstring product;  // the package's product name, which most messages name
    uint32_t result = 0;
    uint32_t wizardExitCode = 0;
    RequiredFramework requiredFramework;
    FreeSpace freeSpace;
    std::wstring commandLineText;  // the arguments as the process received them
};

struct FailureReport {
    std::wstring message;
    std::wstring link;  // empty: no link
};

// The wizard's exit codes for "installed, a restart is needed" (3010 and 3011) and
// "installed, a restart has begun" (1641): a success, not a failure, for every deployment
// tool. They are passed on unchanged, reported by one log line and never by a dialog, which
// could hold up a restart already under way.
inline bool IsRestartCode(uint32_t wizardExitCode) {
    return wizardExitCode == 3010 || wizardExitCode == 3011 || wizardExitCode == 1641;
}

// Whether the run ended in a way the user must be told of.
inline bool NeedsReport(uint32_t result, uint32_t wizardExitCode) {
    return (result != 0 && result != 1) || (wizardExitCode != 0 && !IsRestartCode(wizardExitCode));
}

// The log line of a wizard that finished and asks for a restart; empty for any other end.
std::wstring RestartNotice(uint32_t result, uint32_t wizardExitCode);

// The process exit code: the program's own result when anything of it failed (start-up,
// setting up the run, waiting for it, the run itself), else the wizard's exit code.
inline uint32_t ProcessExitCode(uint32_t result, uint32_t wizardExitCode) {
    return result != 0 ? result : wizardExitCode;
}

FailureReport ComposeFailureReport(const FailureFacts& facts, const TextSource& texts);

// The download page of the framework to install; empty when there is none.
std::wstring FrameworkDownloadLink(const RequiredFramework& required);

}  // namespace gr
