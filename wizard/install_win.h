// The install itself: the package's files written into the install folder, then the
// uninstall information beside them. Nothing is written anywhere else.
#pragma once

#include <string>

#include "wizard/log_win.h"
#include "wizard/package_win.h"

namespace wiz {

// Told about each file as it is written, to show the progress.
class InstallProgress {
public:
    virtual ~InstallProgress() = default;
    virtual void Writing(const PlannedFile& file, size_t done, size_t count) = 0;
};

struct InstallRequest {
    const Package& package;
    const std::wstring& folder;   // checked with CheckInstallFolder
    const std::wstring& program;  // for the uninstall information
};

// Installs; logs each file, and on failure why. Answers the failure's text, empty on success.
std::wstring Install(const InstallRequest& request, const WizardLog& log, InstallProgress* progress);

}  // namespace wiz
