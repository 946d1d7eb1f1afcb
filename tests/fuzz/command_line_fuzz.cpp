// Fuzzes the reading of the command line, the one input every user controls: any text
// must split without fault, every split word must survive being composed and split again,
// and the options pass must hand the wizard exactly one CV_I property at the end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/options.h"
#include "framework/command_line.h"

namespace {

bool FullPath(const std::wstring& typed, std::wstring& full) {
    full = L"C:\\Work\\" + typed;
    return full.size() < 260;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring line;
    for (size_t i = 0; i + 1 < size; i += 2) line.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));

    std::vector<std::wstring> words = gr::SplitCommandLine(line);
    std::wstring composed = L"p";
    for (size_t i = 1; i < words.size(); ++i) {
        composed += L' ';
        gr::AppendWord(composed, words[i]);
    }
    std::vector<std::wstring> again = gr::SplitCommandLine(composed);
    again[0] = words[0];
    Check(again == words);

    gr::CCommandLineInfoEx info;
    gr::ParseCommandLine(info, line);
    gr::OptionFacts facts;
    gr::OptionsOutcome outcome = gr::EvaluateOptions(info, facts, FullPath, L"Zava");
    std::vector<std::wstring> wizard = gr::SplitCommandLine(L"w " + outcome.wizardArguments);
    Check(wizard.back() == L"CV_I=Zava");
    Check(outcome.result == 0 || outcome.result == gr::kUsageError);
    return 0;
}
