// One pass over the command line: which options are on, where the working folder goes,
// which log file to open and what the wizard receives. A plain function over the parsed
// arguments and the few machine facts it needs, so that it can be checked on its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line_info.h"
#include "base/result_codes.h"

namespace gr {

// The machine facts an options pass reads.
struct OptionFacts {
    bool administratorRequired = true;
    std::wstring systemDrive;  // the "SystemDrive" environment variable; empty when unset
    std::wstring tempPath;     // the user's temporary folder with its final backslash; may be empty
};

// Makes a typed path absolute against the current directory (an empty one gives the
// current directory). False when the full path does not fit the program's path limit or
// cannot be made.
using FullPathFunction = bool (*)(const std::wstring& typed, std::wstring& full);

struct OptionsOutcome {
    uint32_t result = 0;
    bool silent = false;
    bool zeroGuid = false;
    bool removeFolder = true;
    bool runWizard = true;
    std::wstring workingFolderRoot;
    std::wstring logPath;  // full path of the log file to open; empty for none
    std::wstring wizardArguments;
    std::vector<std::wstring> logLines;  // lines to log, in order, once the log is opened
};

// Reads the options from `info` (already filled from the command line; the pass removes
// the options that are not passed on) and composes the wizard arguments with `programName`.
OptionsOutcome EvaluateOptions(CCommandLineInfoEx& info, const OptionFacts& facts,
                               FullPathFunction fullPath, const std::wstring& programName);

}  // namespace gr
