#include "app/command_line_info.h"

#include <algorithm>

#include "base/text.h"

namespace gr {
namespace {

constexpr wchar_t kTrue[] = L"TRUE";

bool IsValueOption(const std::wstring& word) {
    return EqualsIgnoreCase(word, L"temp") || EqualsIgnoreCase(word, L"extract") ||
           EqualsIgnoreCase(word, L"log");
}

}  // namespace

void CCommandLineInfoEx::ParseParam(const std::wstring& param, bool isPrefixed, bool isLast) {
    if (isPrefixed) {
        options_.Set(param, kTrue);
        prefixedNames_.push_back(param);
        pendingOption_.clear();
    } else if (IsValueOption(param) && !isLast) {
        pendingOption_ = param;  // replaces a value option still waiting for its word
    } else {
        if (!pendingOption_.empty())
            options_.Set(pendingOption_, param);
        else
            options_.Set(param, L"");
        pendingOption_.clear();
    }
    CCommandLineInfo::ParseParam(param, isPrefixed, isLast);
}

bool CCommandLineInfoEx::GetOption(const std::wstring& name, std::wstring& value) const {
    const std::wstring* found = options_.Find(name);
    value = found ? *found : std::wstring();
    return found != nullptr;
}

bool CCommandLineInfoEx::HasFlag(const std::wstring& name) const {
    std::wstring value;
    return GetOption(name, value) && EqualsIgnoreCase(value, kTrue);
}

bool CCommandLineInfoEx::HasPrefixedFlag(const std::wstring& name) const {
    return std::find(prefixedNames_.begin(), prefixedNames_.end(), name) != prefixedNames_.end() && HasFlag(name);
}

void CCommandLineInfoEx::SetOption(const std::wstring& name, const std::wstring& value) {
    options_.Set(name, value);
}

void CCommandLineInfoEx::RemoveOption(const std::wstring& name) { options_.Remove(name); }

void CCommandLineInfoEx::BuildWizardArguments(const std::wstring& programName,
                                              std::wstring& text) const {
    text.clear();
    for (const OptionTable::Entry* entry : options_.Entries()) {
        if (EqualsIgnoreCase(entry->value, kTrue)) {
            AppendWord(text, L"/" + entry->name);
        } else if (!entry->value.empty()) {
            AppendWord(text, L"/" + entry->name);
            text.push_back(L' ');
            AppendQuoted(text, entry->value);
        } else {
            AppendWord(text, entry->name);
        }
        text.push_back(L' ');
    }
    text.append(L"CV_I=");
    AppendQuoted(text, programName);
    text.push_back(L' ');
}

}  // namespace gr
