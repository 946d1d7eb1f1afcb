// The installer state: what start-up, the run sequence and the report share. One instance
// lives in the application object; the worker thread writes the run result, the wizard
// exit code and the open prompt count, the user-interface thread reads them once the
// run-finished event says the worker is done.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "checks/framework.h"
#include "payload/catalogue.h"
#include "payload/working_folder.h"

namespace gr {

struct InstallerState {
    uint32_t runResult = 0;       // result code of the run sequence
    uint32_t wizardExitCode = 0;  // exit code of the wizard process
    std::atomic<int32_t> openPromptCount{0};  // modal prompts the worker has open
    bool zeroGuid = false;        // /zeroguid: the working folder is named by the zero GUID
    bool removeFolder = true;     // cleared by /keep
    bool runWizard = true;        // cleared by /dontrun
    bool silent = false;          // /IAgreeToTheEULA: no dialog, failures go to the log
    std::wstring programName;     // handed to the wizard as CV_I
    std::wstring workingFolderRoot;
    std::wstring wizardArguments;
    ResourceCatalogue resourceCatalogue;  // the payload resources of the program file
    FreeSpace freeSpace;          // what the free-space check required and found
    RequiredFramework requiredFramework;  // the .NET Framework to install, named on failure
};

}  // namespace gr
