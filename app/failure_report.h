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

// Whether the run ended in a way the user must be told of.
inline bool NeedsReport(uint32_t result, uint32_t wizardExitCode) {
    return (result != 0 && result != 1) || wizardExitCode != 0;
}

FailureReport ComposeFailureReport(const FailureFacts& facts, const TextSource& texts);

// The download page of the framework to install; empty when there is none.
std::wstring FrameworkDownloadLink(const RequiredFramework& required);

}  // namespace gr
