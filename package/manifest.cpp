#include "package/manifest.h"

#include "base/decimal.h"
#include "base/format.h"
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

bool DecodeManifest(std::string_view bytes, std::wstring& text) {
    text.clear();
    for (char byte : bytes) {
        if (static_cast<unsigned char>(byte) > 0x7F) {
            text.clear();
            return false;
        }
        text.push_back(static_cast<wchar_t>(byte));
    }
    return true;
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

std::wstring WriteManifest(const std::vector<CResourceFile>& records) {
    std::wstring text;
    for (const CResourceFile& record : records) {
        if (!text.empty()) text += L'*';
        // The program's own formatter: std::to_wstring would link the C runtime's printf
        // (20 KB) into the program, which shares this file.
        text += Format(L"%d*%s*%d", record.id, record.name, record.size);
    }
    return text;
}

bool IsExecutableName(std::wstring& name) {
    for (wchar_t& c : name) c = ToLowerAscii(c);
    size_t found = name.find(L".exe");
    return found != std::wstring::npos && found > 0;
}

}  // namespace gr
