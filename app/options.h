// The command line's options: which are on, where the working folder goes, which log file
// to open and what the wizard receives. They are read once (ReadOptions); each of the two
// options passes composes from them what it writes (ComposeOptionsPass): the wizard
// arguments with the program name known then, and the log lines. Plain functions over the
// parsed arguments and the few machine facts they need, so that they can be checked alone.
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
    std::wstring logPath;  // full path of the log file; empty for none. Handed to the log, which alone keeps it
    std::wstring wizardArguments;
    std::vector<std::wstring> logLines;  // lines to log, in order, once the log is opened
};

// Reads the options from `info` (already filled from the command line): removes those that
// are not passed on and makes the paths full. The outcome has no wizard arguments yet, and
// only the log lines of its path refusals.
OptionsOutcome ReadOptions(CCommandLineInfoEx& info, const OptionFacts& facts, FullPathFunction fullPath);

// One options pass: `read` with the wizard arguments composed from `info` (as ReadOptions
// left it) and `programName`, and every log line of the pass, in order.
OptionsOutcome ComposeOptionsPass(const CCommandLineInfoEx& info, const OptionsOutcome& read,
                                  const std::wstring& programName);

// Both at once: reads the options from `info` and composes a pass with `programName`.
OptionsOutcome EvaluateOptions(CCommandLineInfoEx& info, const OptionFacts& facts,
                               FullPathFunction fullPath, const std::wstring& programName);

}  // namespace gr
