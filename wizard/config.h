// The wizard's configuration: "<program file name>.config" beside it, an XML file whose
// <configuration><appSettings> holds <add key="..." value="..."/> settings:
//   Product        product name (required)
//   ItemsFile      items list, beside the wizard (required)
//   DataFile       installation data, beside the wizard (required)
//   Version        product version (default 1.0)
//   FolderName     folder under the user's local application data (default: the product)
//   UninstallFile  uninstall information written into the install folder
//                  (default uninstall-info.txt)
// Keys are matched in any case; unknown keys are ignored; a key given twice keeps its last value.
#pragma once

#include <string>
#include <string_view>

namespace wiz {

struct WizardConfig {
    std::wstring product;
    std::wstring itemsFile;
    std::wstring dataFile;
    std::wstring version;
    std::wstring folderName;
    std::wstring uninstallFile;
};

struct ConfigResult {
    WizardConfig config;
    std::wstring error;  // why the configuration cannot be used; empty when it can
};

ConfigResult ReadConfig(std::wstring_view xml);

}  // namespace wiz
