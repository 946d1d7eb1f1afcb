// The wizard's lines in the diagnostic log that /log names, the file the bootstrapper
// writes before and after the wizard runs (and keeps closed meanwhile). Each line is
// "Wizard: <text>" in the ANSI code page with CR LF; the file is opened for appending,
// written and closed again for every line, so it is never held open.
#pragma once

#include <string>
#include <string_view>

namespace wiz {

class WizardLog {
public:
    explicit WizardLog(std::wstring path) : path_(std::move(path)) {}

    // Appends one line; does nothing without a path, when the file cannot be opened, or
    // when it is refused as the program refuses its log (a link, a file with other names).
    void Line(std::wstring_view text) const;

private:
    std::wstring path_;
};

}  // namespace wiz
