// The package beside the wizard: its configuration ("<program file>.config"), the items
// list and the installation data the configuration names, and the install plan made of them.
#pragma once

#include <string>
#include <vector>

#include "wizard/config.h"
#include "wizard/install_plan.h"
#include "wizard/items.h"

namespace wiz {

struct Package {
    WizardConfig config;
    std::vector<Item> items;
    std::string data;  // the data file's bytes
    InstallPlan plan;
};

// Loads the package; false with `error` saying why when a file is missing or wrong.
bool LoadPackage(Package& package, std::wstring& error);

// The default install folder: the configuration's folder under the user's local
// application data; false with `error` set when that folder is not known.
bool DefaultInstallFolder(const WizardConfig& config, std::wstring& folder, std::wstring& error);

}  // namespace wiz
