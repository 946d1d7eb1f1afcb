#include "framework/command_line.h"

namespace gr {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Reads the program path at the start of `line`; returns the position after it.
size_t ReadProgramPath(std::wstring_view line, std::wstring& word) {
    size_t i = 0;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        if (line[i] == L'"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && IsBlank(line[i])) break;
        word.push_back(line[i]);
    }
    return i;
}

// Reads one argument starting at `i` (not at a blank); returns the position after it.
size_t ReadArgument(std::wstring_view line, size_t i, std::wstring& word) {
    bool quoted = false;
    while (i < line.size()) {
        size_t slashes = 0;
        while (i < line.size() && line[i] == L'\\') ++slashes, ++i;
        if (i < line.size() && line[i] == L'"') {
            word.append(slashes / 2, L'\\');
            if (slashes % 2 == 1) {
                word.push_back(L'"');
            } else if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
                word.push_back(L'"');
                ++i;
            } else {
                quoted = !quoted;
            }
            ++i;
            continue;
        }
        word.append(slashes, L'\\');
        if (i >= line.size() || (!quoted && IsBlank(line[i]))) break;
        word.push_back(line[i++]);
    }
    return i;
}

bool NeedsQuotes(std::wstring_view word) {
    if (word.empty()) return true;
    for (wchar_t c : word)
        if (IsBlank(c) || c == L'"' || c == L'\n' || c == L'\v') return true;
    return false;
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view line) {
    std::vector<std::wstring> words(1);
    size_t i = ReadProgramPath(line, words[0]);
    for (;;) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i >= line.size()) break;
        words.emplace_back();
        i = ReadArgument(line, i, words.back());
    }
    return words;
}

std::wstring_view ArgumentsAfterProgram(std::wstring_view line) {
    std::wstring ignored;
    size_t i = ReadProgramPath(line, ignored);
    while (i < line.size() && IsBlank(line[i])) ++i;
    return line.substr(i);
}

void AppendQuoted(std::wstring& out, std::wstring_view word) {
    out.push_back(L'"');
    size_t slashes = 0;
    for (wchar_t c : word) {
        if (c == L'\\') {
            ++slashes;
        } else {
            if (c == L'"') out.append(slashes + 1, L'\\');  // double them, escape the quote
            slashes = 0;
        }
        out.push_back(c);
    }
    out.append(slashes, L'\\');  // the closing quote must not be escaped
    out.push_back(L'"');
}

void AppendWord(std::wstring& out, std::wstring_view word) {
    if (NeedsQuotes(word))
        AppendQuoted(out, word);
    else
        out.append(word);
}

void CCommandLineInfo::ParseParam(const std::wstring&, bool, bool) {}

void ParseCommandLine(CCommandLineInfo& info, std::wstring_view commandLine) {
    std::vector<std::wstring> words = SplitCommandLine(commandLine);
    for (size_t i = 1; i < words.size(); ++i) {
        std::wstring& word = words[i];
        bool prefixed = !word.empty() && (word[0] == L'/' || word[0] == L'-');
        if (prefixed) word.erase(0, 1);
        info.ParseParam(word, prefixed, i + 1 == words.size());
    }
}

}  // namespace gr
