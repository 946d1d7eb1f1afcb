#include "payload/manifest.h"

#include "base/decimal.h"
#include "base/text.h"

namespace gr {
namespace {

// Hands out the fields of a manifest text one by one; an empty field means the end.
class FieldReader {
public:
    explicit FieldReader(std::wstring_view text) : text_(text) {}
    std::wstring_view Next() {
        while (position_ < text_.size() && text_[position_] == L'*') ++position_;
        size_t start = position_;
        while (position_ < text_.size() && text_[position_] != L'*') ++position_;
        return text_.substr(start, position_ - start);
    }

private:
    std::wstring_view text_;
    size_t position_ = 0;
};

}  // namespace

CResourceFile& ManifestMap::operator[](uint32_t id) {
    for (CResourceFile& record : records_)
        if (record.id == id) return record;
    CResourceFile& added = records_.emplace_back();
    added.id = id;
    return added;
}

const CResourceFile* ManifestMap::Find(uint32_t id) const {
    for (const CResourceFile& record : records_)
        if (record.id == id) return &record;
    return nullptr;
}

uint32_t ParseManifest(std::wstring_view text, ManifestMap& map) {
    FieldReader fields(text);
    for (std::wstring_view token = fields.Next(); !token.empty(); token = fields.Next()) {
        std::wstring_view name = fields.Next();
        if (name.empty()) break;
        CResourceFile record;
        record.id = static_cast<uint32_t>(ParseDecimal(token));
        record.name.assign(name);
        record.size = ParseDecimal(fields.Next());
        map[record.id] = record;
    }
    return 0;
}

bool IsExecutableName(std::wstring& name) {
    for (wchar_t& c : name) c = ToLowerAscii(c);
    size_t found = name.find(L".exe");
    return found != std::wstring::npos && found > 0;
}

namespace {

// Names Windows opens as devices in any folder, with or without an extension; besides
// these, COM and LPT with a digit. A named constant: a temporary list would be copied in
// from writable data.
constexpr const wchar_t* kDevices[] = {L"nul", L"con", L"prn", L"aux", L"conin$", L"conout$"};

bool IsDeviceName(std::wstring_view element) {
    std::wstring_view base = element.substr(0, element.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.remove_suffix(1);  // "NUL .txt" is NUL too
    for (const wchar_t* device : kDevices)
        if (EqualsIgnoreCase(base, device)) return true;
    if (base.size() != 4) return false;
    wchar_t digit = base[3];  // Windows counts the superscripts 1 to 3 as digits here
    bool numbered = (digit >= L'0' && digit <= L'9') || digit == L'\u00b9' || digit == L'\u00b2' || digit == L'\u00b3';
    return numbered && (EqualsIgnoreCase(base.substr(0, 3), L"com") || EqualsIgnoreCase(base.substr(0, 3), L"lpt"));
}

// One folder or file name of a relative path: not empty, no character Windows refuses or
// reads specially, no dot or blank at its end (Windows drops those, so "a." would meet
// "a" and ".." climbs), and no device.
bool IsPlainElement(std::wstring_view element) {
    if (element.empty() || element.back() == L'.' || element.back() == L' ') return false;
    for (wchar_t c : element)
        if (c < L' ' || c == L':' || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*')
            return false;
    return !IsDeviceName(element);
}

}  // namespace

bool IsContainedName(std::wstring_view name) {
    if (name.empty()) return false;
    size_t start = 0;
    for (;;) {
        size_t end = name.find_first_of(L"\\/", start);
        if (!IsPlainElement(name.substr(start, end == std::wstring_view::npos ? end : end - start))) return false;
        if (end == std::wstring_view::npos) return true;
        start = end + 1;
    }
}

}  // namespace gr
