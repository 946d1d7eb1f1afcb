#include "packer/definition.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "base/text.h"
#include "package/manifest.h"
#include "package/names.h"
#include "packer/utf.h"
#include "payload/working_folder.h"

namespace gr::pack {
namespace {

// A string-table entry is counted in 16 bits: the program reads no longer text.
constexpr size_t kLongestSetting = 0xFFFF;
// The program writes a payload file at the working folder joined with its name, within
// its path limit; the shortest working folder is a GUID's folder under a drive's root
// ("C:\{GUID}\"), so no longer name can be written anywhere.
constexpr size_t kLongestName = gr::kPathLimit - 1 - (sizeof "C:\\" - 1) - (std::size(kZeroGuidText) - 1) - 1;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Splits off the first blank-separated field of `rest`; `rest` keeps what follows the
// blanks after it.
std::string_view TakeField(std::string_view& rest) {
    size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    std::string_view field = rest.substr(0, end);
    rest.remove_prefix(end);
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    return field;
}

// A whole decimal number within [lowest, highest]; a minus sign only when lowest < 0.
bool ParseNumber(std::string_view text, int64_t lowest, int64_t highest, int64_t& value) {
    bool negative = !text.empty() && text[0] == '-' && lowest < 0;
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.size() > 12) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    return value >= lowest && value <= highest;
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// Characters a Windows file name cannot hold; "*" also separates the manifest's fields.
bool HasForbiddenCharacter(std::wstring_view name) {
    for (wchar_t c : name)
        if (IsForbiddenNameCharacter(c)) return true;
    return false;
}

bool IsAscii(std::wstring_view name) {
    for (wchar_t c : name)
        if (c > 0x7E) return false;
    return true;
}

// The name with "/" as "\": the same file either way.
std::wstring Canonical(std::wstring_view name) {
    std::wstring canonical(name);
    for (wchar_t& c : canonical)
        if (c == L'/') c = L'\\';
    return canonical;
}

// What makes `text` no UTF-8 definition, or null: a byte-order mark, or UTF-16.
const char* ForeignEncoding(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) return "starts with a byte-order mark";
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) return "is UTF-16 (it starts with a byte-order mark)";
    if (text.size() >= 2 && (text[0] == '\0' || text[1] == '\0')) return "is UTF-16";
    return nullptr;
}

class Reader {
public:
    Reader(const fs::path& path, const ReadOptions& options, Definition& definition, std::vector<Refusal>& refusals)
        : path_(path), options_(options), definition_(definition), refusals_(refusals) {}

    void Line(size_t number, std::string_view text);
    void CheckNames();
    void CheckProduct();
    std::string PathText() const;

private:
    void Refuse(size_t line, std::string message) { refusals_.push_back({PathText(), line, std::move(message)}); }
    bool Once(const std::string& key, size_t line);
    bool TestShape(std::string_view key, size_t line);
    void Setting(size_t index, std::string_view value, size_t line);
    bool Source(std::string_view text, size_t line, fs::path& source);
    bool Id(std::string_view text, size_t line, uint32_t& id);
    void File(std::string_view rest, size_t line);
    void ExtraResource(std::string_view key, std::string_view rest, size_t line);
    void PictureLine(std::optional<Picture>& picture, std::string_view key, std::string_view rest, size_t line);
    void Manifest(std::string_view key, std::string_view rest, size_t line);
    void SigningLine(std::string_view key, std::string_view rest);

    const fs::path& path_;
    const ReadOptions& options_;
    Definition& definition_;
    std::vector<Refusal>& refusals_;
    std::map<std::string, size_t> given_;  // key -> line, for keys given once
    std::map<uint32_t, size_t> ids_;       // payload id -> line
};

std::string Reader::PathText() const {
    std::u8string text = path_.u8string();
    return std::string(text.begin(), text.end());
}

bool Reader::Once(const std::string& key, size_t line) {
    auto [at, added] = given_.emplace(key, line);
    if (!added) Refuse(line, key + " is given twice (first at line " + std::to_string(at->second) + ")");
    return added;
}

bool Reader::TestShape(std::string_view key, size_t line) {
    if (options_.allowTestShapes) return true;
    Refuse(line, "unknown key " + Quoted(key) + " (it shapes a broken payload, for the tool's own tests only)");
    return false;
}

void Reader::Setting(size_t index, std::string_view value, size_t line) {
    const PackageSetting& setting = kSettings[index];
    if (!Once(setting.key, line)) return;
    value = Trim(value);
    std::wstring text;
    if (value.empty()) return Refuse(line, std::string(setting.key) + " needs a value (or @none to leave it out)");
    if (!DecodeUtf8(value, text)) return Refuse(line, std::string(setting.key) + " is not UTF-8 text");
    if (Utf16Length(text) > kLongestSetting)
        return Refuse(line, std::string(setting.key) + " is longer than the program reads (65,535 UTF-16 units)");
    if (value == "@none") {
        definition_.settings[index].clear();
        return;
    }
    int64_t number = 0;
    if (setting.kind == SettingKind::Megabytes && !ParseNumber(value, 0, 0x7FFFFFFF, number))
        return Refuse(line,
                      std::string(setting.key) + " must be a whole number of megabytes, 0 or more: " + Quoted(value));
    if (setting.kind == SettingKind::Level && !ParseNumber(value, -0x7FFFFFFF - 1, 0x7FFFFFFF, number))
        return Refuse(line, std::string(setting.key) +
                                " must be a whole number (negative excludes the version): " + Quoted(value));
    if (setting.kind == SettingKind::Flag && value != "0" && value != "1")
        return Refuse(line, std::string(setting.key) + " must be 1 (required) or 0: " + Quoted(value));
    definition_.settings[index] = text;
}

bool Reader::Source(std::string_view text, size_t line, fs::path& source) {
    if (text.empty()) {
        Refuse(line, "a file is missing");
        return false;
    }
    if (text[0] == '@' && options_.anyInput) {
        std::vector<std::string>& names = definition_.inputNames;
        if (std::find(names.begin(), names.end(), text.substr(1)) == names.end()) names.emplace_back(text.substr(1));
        source.clear();
        return true;
    }
    if (text[0] == '@') {
        auto found = options_.inputs.find(std::string(text.substr(1)));
        if (found == options_.inputs.end()) {
            Refuse(line,
                   Quoted(text) + " names no file (give it with --with " + std::string(text.substr(1)) + "=PATH)");
            return false;
        }
        source = found->second;
        return true;
    }
    fs::path given(std::u8string(text.begin(), text.end()));
    source = given.is_absolute() ? given : path_.parent_path() / given;
    return true;
}

bool Reader::Id(std::string_view text, size_t line, uint32_t& id) {
    int64_t value = 0;
    if (!ParseNumber(text, 0, 0xFFFFFFFF, value) || value < 1 || value > 65535) {
        Refuse(line, "id " + Quoted(text) + " is not a number from 1 to 65535");
        return false;
    }
    id = static_cast<uint32_t>(value);
    if (id == kManifestId) {
        Refuse(line, "id " + std::to_string(kManifestId) + " is the manifest's");
        return false;
    }
    auto [at, added] = ids_.emplace(id, line);
    if (!added)
        Refuse(line, "id " + std::to_string(id) + " is used twice (first at line " + std::to_string(at->second) + ")");
    return added;
}

void Reader::File(std::string_view rest, size_t line) {
    std::string_view idText = TakeField(rest);
    std::string_view sourceText = TakeField(rest);
    PayloadFile file;
    file.line = line;
    if (rest.empty()) return Refuse(line, "file needs an id, a file and the name it is extracted as");
    if (!DecodeUtf8(rest, file.name)) return Refuse(line, "the name is not UTF-8 text");
    if (!Id(idText, line, file.id) || !Source(sourceText, line, file.source)) return;
    definition_.files.push_back(std::move(file));
}

void Reader::ExtraResource(std::string_view key, std::string_view rest, size_t line) {
    std::string_view nameText = TakeField(rest);
    std::string_view sourceText = TakeField(rest);
    PayloadFile file;
    file.line = line;
    file.inManifest = false;
    if (nameText.empty() || sourceText.empty() || !rest.empty())
        return Refuse(line, std::string(key) + " needs a name and a file");
    if (key == "named-resource") {
        bool valid = !(nameText[0] >= '0' && nameText[0] <= '9');
        for (char c : nameText)
            valid = valid && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_');
        if (!valid) return Refuse(line, "resource name " + Quoted(nameText) + " is not a plain name");
        DecodeUtf8(nameText, file.resourceName);
    } else if (!Id(nameText, line, file.id)) {
        return;
    }
    if (Source(sourceText, line, file.source)) definition_.files.push_back(std::move(file));
}

void Reader::PictureLine(std::optional<Picture>& picture, std::string_view key, std::string_view rest, size_t line) {
    rest = Trim(rest);
    Picture given;
    given.line = line;
    if (!Once(std::string(key), line)) return;
    if (rest.empty()) return Refuse(line, std::string(key) + " needs a file");
    if (Source(rest, line, given.source)) picture = std::move(given);
}

void Reader::Manifest(std::string_view key, std::string_view rest, size_t line) {
    if (!TestShape(key, line)) return;
    if (key == "manifest") {
        if (Trim(rest) != "none") return Refuse(line, "manifest takes only 'none'");
        definition_.manifest = false;
    } else if (key == "manifest-size") {
        std::string_view idText = TakeField(rest);
        int64_t id = 0, size = 0;
        if (!ParseNumber(idText, 0, 65535, id) || !ParseNumber(Trim(rest), -0x7FFFFFFF - 1, 0x7FFFFFFF, size))
            return Refuse(line, "manifest-size needs an id and a size");
        definition_.statedSizes[static_cast<uint32_t>(id)] = static_cast<int32_t>(size);
    } else {
        definition_.manifestExtra = std::string(rest);
    }
}

// For our build's signing step, which reads them from the tool (gearrack-pack needs): any
// "signing" other than "off" leaves the package signed; the program name is the rest of
// the line, the link its first field.
void Reader::SigningLine(std::string_view key, std::string_view rest) {
    Signing& signing = definition_.signing;
    if (key == "signing")
        signing.sign = Trim(rest) != "off";
    else if (key == "signing-program")
        signing.program = std::string(Trim(rest));
    else
        signing.link = std::string(TakeField(rest));
}

void Reader::Line(size_t number, std::string_view text) {
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    for (char c : text)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) {
            char shown[8];
            std::snprintf(shown, sizeof shown, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
            return Refuse(number, std::string("holds a control character (") + shown + "): no name, path or setting can");
        }
    std::string_view rest = text;
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    if (rest.empty() || rest[0] == '#') return;
    std::string_view key = TakeField(rest);
    for (size_t i = 0; i < kSettings.size(); ++i)
        if (key == kSettings[i].key) return Setting(i, rest, number);
    if (IsIdentityKey(key)) {
        if (!Once(std::string(key), number)) return;
        std::string problem = ReadIdentityKey(key, Trim(rest), number, definition_.identity);
        if (!problem.empty()) Refuse(number, problem);
        return;
    }
    if (key == "file") return File(rest, number);
    if (key == "icon") return PictureLine(definition_.icon, key, rest, number);
    if (key == "splash") return PictureLine(definition_.splash, key, rest, number);
    if (key == "banner") return PictureLine(definition_.banner, key, rest, number);
    if (key == "signing" || key == "signing-program" || key == "signing-link") return SigningLine(key, rest);
    if (key == "manifest" || key == "manifest-size" || key == "manifest-extra") return Manifest(key, rest, number);
    if (key == "resource" || key == "named-resource") {
        if (TestShape(key, number)) ExtraResource(key, rest, number);
        return;
    }
    Refuse(number, "unknown key " + Quoted(key));
}

void Reader::CheckNames() {
    std::vector<const PayloadFile*> named;
    size_t records = 0;
    for (const PayloadFile& file : definition_.files) {
        if (!file.inManifest) continue;
        if (++records == kMostManifestRecords + 1)
            Refuse(file.line, "more than 4,096 payload files from this one on: the program looks each up in a list");
        std::string shown = Quoted(EncodeUtf8(file.name));
        if (!IsAscii(file.name)) {
            Refuse(file.line,
                   "name " + shown + " is not plain ASCII (the program reads names in the machine's code page)");
        } else if (HasForbiddenCharacter(file.name)) {
            Refuse(file.line,
                   "name " + shown + " holds a character no file name can (< > \" | ? * or a control character)");
        } else if (Utf16Length(file.name) > kLongestName) {
            Refuse(file.line, "name " + shown + " is longer than the program writes (" + std::to_string(kLongestName) +
                                  " characters: its path under C:\\{GUID}\\ would pass the path limit)");
        } else if (!IsContainedName(file.name)) {
            Refuse(file.line,
                   "name " + shown +
                       " is refused by the program: it must stay inside the working folder "
                       "(no absolute path, drive, ':' or '..'), name no device and not end with a dot or a blank");
        } else {
            for (const PayloadFile* earlier : named)
                if (EqualsIgnoreCase(Canonical(earlier->name), Canonical(file.name))) {
                    Refuse(file.line, "name " + shown + " is the same file as line " + std::to_string(earlier->line) +
                                          "'s " + Quoted(EncodeUtf8(earlier->name)) + " (letter case aside)");
                    break;
                }
            named.push_back(&file);
        }
    }
}

// Without `product`, every caption would name the sample's product; a test package may keep
// the shipped names. Without `program-name`, the wizard gets the product's name.
void Reader::CheckProduct() {
    if (options_.allowTestShapes) return;
    // A refused line may be the product's own: then "missing" would mislead.
    if (!given_.contains("product") && refusals_.empty())
        return Refuse(0, "product is missing: every caption and message names it (add 'product <name>')");
    if (!given_.contains("program-name"))
        definition_.settings[static_cast<size_t>(Setting::ProgramName)] = SettingText(definition_, Setting::Product);
}

}  // namespace

std::string Refusal::Text() const {
    return line == 0 ? file + ": " + message : file + ":" + std::to_string(line) + ": " + message;
}

void ReadDefinition(const fs::path& path, std::string_view text, const ReadOptions& options, Definition& definition,
                    std::vector<Refusal>& refusals) {
    definition.path = path;
    for (size_t i = 0; i < kSettings.size(); ++i) DecodeUtf8(kSettings[i].shipped, definition.settings[i]);
    Reader reader(path, options, definition, refusals);
    if (const char* encoding = ForeignEncoding(text)) {
        refusals.push_back({reader.PathText(), 1, std::string(encoding) + ": the definition must be UTF-8 text"});
        return;
    }
    size_t number = 1;
    for (size_t start = 0; start <= text.size(); ++number) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        reader.Line(number, text.substr(start, end - start));
        start = end + 1;
    }
    reader.CheckNames();
    reader.CheckProduct();
}

std::string ManifestText(const Definition& definition, const std::vector<uint64_t>& sizes) {
    std::vector<CResourceFile> records;
    for (size_t i = 0; i < definition.files.size(); ++i) {
        const PayloadFile& file = definition.files[i];
        if (!file.inManifest) continue;
        auto stated = definition.statedSizes.find(file.id);
        // The payload is at most 2 GB in all, so a file's size fits.
        int32_t size = stated != definition.statedSizes.end() ? stated->second : static_cast<int32_t>(sizes[i]);
        records.push_back({file.id, size, file.name});
    }
    std::string text = EncodeUtf8(WriteManifest(records));
    if (!definition.manifestExtra.empty()) text += '*' + definition.manifestExtra;
    return text;
}

bool ExcludesEveryFramework(const Definition& definition) {
    for (size_t i = 0; i < kSettings.size(); ++i) {
        if (kSettings[i].kind != SettingKind::Level) continue;
        const std::wstring& level = definition.settings[i];
        if (level.empty() || level[0] != L'-' || level.find_first_not_of(L"-0") == std::wstring::npos) return false;
    }
    return true;
}

}  // namespace gr::pack
