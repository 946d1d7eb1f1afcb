#include "wizard/arguments.h"

#include <optional>
#include <string_view>

#include "wizard/paths.h"

namespace wiz {
namespace {

bool IsPrefixed(std::wstring_view word) {
    return !word.empty() && (word[0] == L'/' || word[0] == L'-');
}

bool IsSwitch(std::wstring_view word, std::wstring_view name) {
    return IsPrefixed(word) && word.substr(1) == name;
}

bool TakesValue(std::wstring_view word) {
    if (!IsPrefixed(word)) return false;
    std::wstring_view name = word.substr(1);
    return EqualsIgnoringCase(name, L"log") || EqualsIgnoringCase(name, L"extract") || EqualsIgnoringCase(name, L"temp");
}

// The value of "NAME=value" when `word` is that property, its name in any case.
std::optional<std::wstring_view> Property(std::wstring_view word, std::wstring_view name) {
    if (word.size() <= name.size() || word[name.size()] != L'=' || !EqualsIgnoringCase(word.substr(0, name.size()), name))
        return std::nullopt;
    return word.substr(name.size() + 1);
}

void SetError(WizardArguments& arguments, std::wstring error) {
    if (arguments.error.empty()) arguments.error = std::move(error);
}

void ReadProperty(WizardArguments& arguments, const std::wstring& word) {
    if (auto folder = Property(word, L"INSTALLDIR")) {
        FolderCheck check = CheckInstallFolder(*folder);
        if (check.error.empty()) arguments.installFolder = check.folder;
        else SetError(arguments, L"INSTALLDIR '" + std::wstring(*folder) + L"': " + check.error);
    } else if (auto program = Property(word, L"CV_I")) {
        arguments.programName = *program;
    } else {
        arguments.ignored.push_back(word);
    }
}

}  // namespace

WizardArguments ParseArguments(const std::vector<std::wstring>& words) {
    WizardArguments arguments;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::wstring& word = words[i];
        if (IsSwitch(word, L"IAgreeToTheEULA")) {
            arguments.silent = true;
        } else if (TakesValue(word)) {
            const std::wstring value = i + 1 < words.size() ? words[++i] : std::wstring();
            if (value.empty()) SetError(arguments, word + L" needs a value.");
            else if (IsSwitch(word, L"log")) arguments.logPath = value;
            else arguments.ignored.push_back(word + L" " + value);
        } else {
            ReadProperty(arguments, word);
        }
    }
    return arguments;
}

}  // namespace wiz
