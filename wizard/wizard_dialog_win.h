// The interactive wizard: one dialog whose pages (welcome, licence, install folder,
// progress) follow PageFlow. Its window is a visible top-level window of this process,
// titled WindowTitle(product, program).
#pragma once

#include <windows.h>

#include <string>

#include "wizard/log_win.h"
#include "wizard/package_win.h"

namespace wiz {

struct WizardSession {
    const Package& package;
    const std::wstring& program;  // empty when none was given
    std::wstring folder;          // proposed on the folder page
};

// Runs the wizard to its end; answers its exit code (0, 1602 or 1603).
int RunWizardDialog(HINSTANCE instance, const WizardSession& session, const WizardLog& log);

}  // namespace wiz
