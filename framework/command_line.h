// Splitting a process command line into words, and joining words back into one, by the
// C runtime's standard rules: blanks and tabs separate words; double quotes group and are
// removed; 2n backslashes before a quote give n backslashes and the quote toggles grouping;
// 2n+1 backslashes before a quote give n backslashes and a literal quote; "" inside a
// group is a literal quote; backslashes elsewhere are literal. The first word (the program
// path) follows the loader's simpler rule: quotes group, backslashes are never escapes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gr {

// All words of a full command line, the program path first.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

// The raw argument text: what follows the program path and the blanks after it.
std::wstring_view ArgumentsAfterProgram(std::wstring_view commandLine);

// Appends `word` so that the rules above give it back unchanged: as it is when it needs no
// quotes, otherwise quoted with its quotes and the backslashes before them escaped.
void AppendWord(std::wstring& out, std::wstring_view word);

// Appends `word` always inside double quotes, escaped as above.
void AppendQuoted(std::wstring& out, std::wstring_view word);

// Receives the arguments after the program path, one call each, in order.
class CCommandLineInfo {
public:
    virtual ~CCommandLineInfo() = default;
    // `param` has its "/" or "-" prefix removed when `isPrefixed`; `isLast` when no
    // argument follows.
    virtual void ParseParam(const std::wstring& param, bool isPrefixed, bool isLast);
};

// Splits `commandLine`, skips the program path and hands every other word to `info`.
void ParseCommandLine(CCommandLineInfo& info, std::wstring_view commandLine);

}  // namespace gr
