#include "app/options.h"

#include "base/format.h"

namespace gr {
namespace {

std::wstring DefaultRoot(const OptionFacts& facts) {
    if (!facts.administratorRequired) return facts.tempPath;
    return facts.systemDrive.empty() ? std::wstring(L"C:\\") : facts.systemDrive;
}

// Reads a path option. A prefixed form is a usage error; a value is made absolute into
// `full`. Returns true when `full` holds a usable path.
bool ReadPathOption(CCommandLineInfoEx& info, const wchar_t* name, FullPathFunction fullPath,
                    OptionsOutcome& out, std::wstring& full) {
    if (info.HasPrefixedFlag(name)) {
        out.result = kUsageError;
        return false;
    }
    std::wstring typed;
    if (!info.GetOption(name, typed)) return false;
    if (!fullPath(typed, full)) {
        out.result = kUsageError;
        out.logLines.push_back(Format(L"Path given to %s is too long or not valid: '%s'\n", name, typed));
        return false;
    }
    return true;
}

void ReadFlags(CCommandLineInfoEx& info, OptionsOutcome& out) {
    out.silent = info.HasFlag(L"IAgreeToTheEULA");
    if (info.HasFlag(L"dontrun")) {
        out.runWizard = false;
        info.RemoveOption(L"dontrun");
    }
    if (info.HasFlag(L"zeroguid")) {
        out.zeroGuid = true;
        info.RemoveOption(L"zeroguid");
    }
    if (info.HasFlag(L"keep")) {
        out.removeFolder = false;
        info.RemoveOption(L"keep");
    }
}

void ReadHelpRequest(const CCommandLineInfoEx& info, OptionsOutcome& out) {
    std::wstring ignored;
    if (info.HasPrefixedFlag(L"?")) {
        out.result = kUsageError;
        out.logLines.push_back(L"Ask for help\n");
    }
    if (info.GetOption(L"?", ignored)) {
        out.result = kUsageError;
        out.logLines.push_back(L"Ask for help\n");
    }
}

}  // namespace

OptionsOutcome ReadOptions(CCommandLineInfoEx& info, const OptionFacts& facts, FullPathFunction fullPath) {
    OptionsOutcome out;
    out.workingFolderRoot = DefaultRoot(facts);
    ReadFlags(info, out);

    std::wstring full;
    if (ReadPathOption(info, L"extract", fullPath, out, full)) info.SetOption(L"extract", full);
    if (ReadPathOption(info, L"log", fullPath, out, full)) {
        info.SetOption(L"log", full);
        out.logPath = full;
    }
    if (ReadPathOption(info, L"temp", fullPath, out, full)) out.workingFolderRoot = full;
    return out;
}

OptionsOutcome ComposeOptionsPass(const CCommandLineInfoEx& info, const OptionsOutcome& read,
                                  const std::wstring& programName) {
    OptionsOutcome out = read;
    info.BuildWizardArguments(programName, out.wizardArguments);
    ReadHelpRequest(info, out);
    out.logLines.push_back(Format(L"Command line params %s\n", out.wizardArguments));
    out.logLines.push_back(Format(L"Temp folder '%s'\n", out.workingFolderRoot));
    return out;
}

OptionsOutcome EvaluateOptions(CCommandLineInfoEx& info, const OptionFacts& facts,
                               FullPathFunction fullPath, const std::wstring& programName) {
    return ComposeOptionsPass(info, ReadOptions(info, facts, fullPath), programName);
}

}  // namespace gr
