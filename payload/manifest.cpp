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

bool IsContainedName(std::wstring_view name) {
    if (name.empty() || name[0] == L'\\' || name[0] == L'/') return false;
    if (name.find(L':') != std::wstring_view::npos) return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of(L"\\/", start);
        if (end == std::wstring_view::npos) end = name.size();
        std::wstring_view element = name.substr(start, end - start);
        // Windows drops trailing dots and blanks, so ". ." and "..." climb as well.
        if (element.find_first_not_of(L". ") == std::wstring_view::npos && element.find(L"..") != std::wstring_view::npos)
            return false;
        start = end + 1;
    }
    return true;
}

}  // namespace gr
