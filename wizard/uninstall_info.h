// The uninstall information the wizard leaves in the install folder: a text file in the
// form of an INI file that names what was installed, so that it can be removed again.
//   [Uninstall]
//   Product=Oakcrest
//   Version=1.0
//   Program=Zava
//   Folder=C:\Users\me\AppData\Local\Oakcrest
//   File=readme.txt            one line per file, in install order
//   Subfolder=Samples          one line per folder made inside it, parents first
#pragma once

#include <string>
#include <string_view>

#include "wizard/install_plan.h"

namespace wiz {

struct InstallFacts {
    std::wstring_view product;
    std::wstring_view version;
    std::wstring_view program;
    std::wstring_view folder;
};

// The file's text, lines ending with CR LF.
std::wstring UninstallInfo(const InstallFacts& facts, const InstallPlan& plan);

}  // namespace wiz
