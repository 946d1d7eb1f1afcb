// The wizard's command line, once the system's rules have split it into words:
//   /IAgreeToTheEULA      silent: no window, install with the defaults
//   /log <path>           append the wizard's lines to that file
//   INSTALLDIR=<folder>   where to install (a full path)
//   CV_I=<program name>   the program the product is installed for
// Switches start with "/" or "-" and are matched in their exact case, as the bootstrapper
// matches them; property names in any case. /extract, /temp and /log in another case take
// a value the wizard does not use. Every other word is ignored (and logged).
#pragma once

#include <string>
#include <vector>

namespace wiz {

struct WizardArguments {
    bool silent = false;
    std::wstring logPath;
    std::wstring installFolder;  // checked; empty for the default
    std::wstring programName;
    std::vector<std::wstring> ignored;  // as received; a switch with its value
    std::wstring error;                 // the first bad argument, why; empty when all are good
};

WizardArguments ParseArguments(const std::vector<std::wstring>& words);

}  // namespace wiz
