#include "wizard/xml_scan.h"

#include "wizard/xml_reference.h"

namespace wiz {
namespace {

bool IsNameStart(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' || c == L':' || c >= 0x80;
}

bool IsNameCharacter(wchar_t c) {
    return IsNameStart(c) || (c >= L'0' && c <= L'9') || c == L'-' || c == L'.';
}

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

class Scanner {
public:
    explicit Scanner(std::wstring_view text) : text_(text) {}
    XmlDocument Run();

private:
    bool Markup();
    bool SkipPast(std::wstring_view end, const wchar_t* what);
    bool StartTag();
    bool EndTag();
    bool Attributes(XmlElement& element, bool& empty);
    bool Name(std::wstring& name);
    bool Value(std::wstring& value);
    void SkipSpaces();
    bool At(std::wstring_view s) const { return text_.substr(pos_).starts_with(s); }
    bool Fail(const std::wstring& message);

    std::wstring_view text_;
    size_t pos_ = 0;
    std::wstring path_;       // names of the open elements, joined by "/"
    size_t depth_ = 0;
    bool rootSeen_ = false;
    XmlDocument document_;
};

XmlDocument Scanner::Run() {
    if (At(L"\xFEFF")) ++pos_;
    bool going = true;
    while (going && pos_ < text_.size()) {
        if (text_[pos_] == L'<') going = Markup();
        else if (depth_ == 0 && !IsSpace(text_[pos_])) going = Fail(L"text outside the root element");
        else ++pos_;
    }
    if (going && depth_ > 0) Fail(L"element <" + path_.substr(path_.rfind(L'/') + 1) + L"> is not closed");
    if (going && !rootSeen_) Fail(L"there is no root element");
    return std::move(document_);
}

bool Scanner::Fail(const std::wstring& message) {
    size_t line = 1;
    for (size_t i = 0; i < pos_ && i < text_.size(); ++i) line += text_[i] == L'\n';
    document_.elements.clear();
    document_.error = L"line " + std::to_wstring(line) + L": " + message;
    return false;
}

bool Scanner::Markup() {
    if (At(L"<?")) return SkipPast(L"?>", L"a processing instruction");
    if (At(L"<!--")) return SkipPast(L"-->", L"a comment");
    if (At(L"<!")) return Fail(L"DOCTYPE and CDATA are not supported");
    if (At(L"</")) return EndTag();
    return StartTag();
}

bool Scanner::SkipPast(std::wstring_view end, const wchar_t* what) {
    size_t found = text_.find(end, pos_ + 2);
    if (found == std::wstring_view::npos) return Fail(std::wstring(what) + L" is not closed");
    pos_ = found + end.size();
    return true;
}

bool Scanner::StartTag() {
    ++pos_;
    std::wstring name;
    if (!Name(name)) return false;
    if (depth_ == 0 && rootSeen_) return Fail(L"a second root element <" + name + L">");
    rootSeen_ = true;
    XmlElement element;
    element.path = depth_ == 0 ? name : path_ + L"/" + name;
    bool empty = false;
    if (!Attributes(element, empty)) return false;
    if (!empty) {
        path_ = element.path;
        ++depth_;
    }
    document_.elements.push_back(std::move(element));
    return true;
}

bool Scanner::EndTag() {
    pos_ += 2;
    std::wstring name;
    if (!Name(name)) return false;
    SkipSpaces();
    if (!At(L">")) return Fail(L"end tag </" + name + L"> is not closed");
    if (depth_ == 0) return Fail(L"end tag </" + name + L"> has no start tag");
    size_t slash = path_.rfind(L'/');
    std::wstring open = path_.substr(slash == std::wstring::npos ? 0 : slash + 1);
    if (name != open) return Fail(L"end tag </" + name + L"> does not match <" + open + L">");
    ++pos_;
    --depth_;
    path_.resize(slash == std::wstring::npos ? 0 : slash);
    return true;
}

bool Scanner::Attributes(XmlElement& element, bool& empty) {
    for (;;) {
        size_t before = pos_;
        SkipSpaces();
        if (pos_ == text_.size()) return Fail(L"a tag is not closed");
        if (At(L"/>") || At(L">")) {
            empty = At(L"/>");
            pos_ += empty ? 2 : 1;
            return true;
        }
        if (pos_ == before) return Fail(L"white space, > or /> expected");
        std::wstring name, value;
        if (!Name(name)) return false;
        SkipSpaces();
        if (!At(L"=")) return Fail(L"attribute " + name + L" has no value");
        ++pos_;
        SkipSpaces();
        if (!Value(value)) return false;
        if (element.Attribute(name)) return Fail(L"attribute " + name + L" appears twice");
        element.attributes.emplace_back(std::move(name), std::move(value));
    }
}

bool Scanner::Name(std::wstring& name) {
    if (pos_ >= text_.size() || !IsNameStart(text_[pos_])) return Fail(L"a name expected");
    size_t start = pos_;
    while (pos_ < text_.size() && IsNameCharacter(text_[pos_])) ++pos_;
    name = text_.substr(start, pos_ - start);
    return true;
}

bool Scanner::Value(std::wstring& value) {
    if (pos_ >= text_.size() || (text_[pos_] != L'"' && text_[pos_] != L'\'')) return Fail(L"a quoted value expected");
    wchar_t quote = text_[pos_++];
    for (; pos_ < text_.size() && text_[pos_] != quote; ++pos_) {
        wchar_t c = text_[pos_];
        if (c == L'<') return Fail(L"< in an attribute value");
        if (c != L'&') {
            value += IsSpace(c) ? L' ' : c;  // white space in values is normalised to blanks
            continue;
        }
        size_t end = text_.find(L';', pos_);
        if (end == std::wstring_view::npos || !AppendReference(text_.substr(pos_ + 1, end - pos_ - 1), value))
            return Fail(L"a bad character or entity reference");
        pos_ = end;
    }
    if (pos_ == text_.size()) return Fail(L"an attribute value is not closed");
    ++pos_;
    return true;
}

void Scanner::SkipSpaces() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
}

}  // namespace

const std::wstring* XmlElement::Attribute(std::wstring_view name) const {
    for (const auto& attribute : attributes)
        if (attribute.first == name) return &attribute.second;
    return nullptr;
}

XmlDocument ScanXml(std::wstring_view text) {
    return Scanner(text).Run();
}

}  // namespace wiz
