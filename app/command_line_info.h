// The bootstrapper's reading of its command line: every argument goes into an option
// table; "temp", "extract" and "log" (any letter case) take the next word as their value.
#pragma once

#include <string>
#include <vector>

#include "app/option_table.h"
#include "framework/command_line.h"

namespace gr {

class CCommandLineInfoEx : public CCommandLineInfo {
public:
    ~CCommandLineInfoEx() override = default;

    void ParseParam(const std::wstring& param, bool isPrefixed, bool isLast) override;

    // True and the value when `name` is in the table; false and an empty value otherwise.
    bool GetOption(const std::wstring& name, std::wstring& value) const;
    // The name is in the table with the value "TRUE" (any letter case).
    bool HasFlag(const std::wstring& name) const;
    // As HasFlag, and the name was given with a "/" or "-" prefix.
    bool HasPrefixedFlag(const std::wstring& name) const;
    void SetOption(const std::wstring& name, const std::wstring& value);
    // Removes the name from the table; it stays among the prefixed names.
    void RemoveOption(const std::wstring& name);

    // The wizard's argument text: every table entry in enumeration order, then the CV_I
    // property with `programName`. Each word is written so that the wizard's own argument
    // splitting gives back exactly the word the user typed; every item ends with a blank.
    void BuildWizardArguments(const std::wstring& programName, std::wstring& text) const;

private:
    OptionTable options_;
    std::vector<std::wstring> prefixedNames_;  // in the order given; a name may repeat
    std::wstring pendingOption_;
};

}  // namespace gr
