// Fuzzes the package manifest and the name check, the way a tampered or careless package
// reaches them. The records must be those a plain reading of the fields gives, and every
// name the check accepts must, once Windows has normalised it under the working folder,
// still name that same path inside it: no drive, no climbing, no stripped dot or blank, no
// cut at a zero character, no device.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "package/manifest.h"
#include "package/names.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::wstring> Split(const std::wstring& text, const std::wstring& separators) {
    std::vector<std::wstring> parts(1);
    for (wchar_t c : text) {
        if (separators.find(c) != std::wstring::npos)
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    return parts;
}

// A field's value as the C runtime reads it (base 10, clamped to 32 bits); the manifest
// is narrow text, so the narrow reader serves as the reference.
int32_t Strtol(const std::wstring& field) {
    std::string narrow;
    for (wchar_t c : field) narrow.push_back(c < 0x80 ? static_cast<char>(c) : 'x');
    long value = std::strtol(narrow.c_str(), nullptr, 10);
    return value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : static_cast<int32_t>(value);
}

bool IsDevice(std::wstring element) {
    static const std::set<std::wstring> kDevices = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    element = element.substr(0, element.find_first_of(L".:"));
    while (!element.empty() && element.back() == L' ') element.pop_back();
    for (wchar_t& c : element) c = static_cast<wchar_t>(std::towupper(c));
    if (kDevices.count(element) != 0) return true;
    const std::wstring digits = L"0123456789\u00b9\u00b2\u00b3";
    bool numbered = element.size() == 4 && digits.find(element[3]) != std::wstring::npos;
    return numbered && (element.compare(0, 3, L"COM") == 0 || element.compare(0, 3, L"LPT") == 0);
}

// What Windows makes of `name` under C:\W: cut at a zero character, both slashes split,
// empty elements dropped, elements of dots and blanks staying or climbing, trailing dots
// and blanks stripped.
std::vector<std::wstring> Normalised(const std::wstring& name) {
    std::wstring path = L"C:\\W\\" + name.substr(0, name.find(L'\0'));
    std::vector<std::wstring> elements;
    for (std::wstring element : Split(path, L"\\/")) {
        if (element.find_first_not_of(L". ") == std::wstring::npos) {
            if (element.find(L"..") != std::wstring::npos && elements.size() > 1) elements.pop_back();
            continue;
        }
        while (element.back() == L'.' || element.back() == L' ') element.pop_back();
        elements.push_back(element);
    }
    return elements;
}

void CheckAcceptedName(const std::wstring& name) {
    if (!gr::IsContainedName(name)) return;
    std::vector<std::wstring> typed = Split(name, L"\\/");
    std::vector<std::wstring> elements = Normalised(name);
    Check(elements.size() == typed.size() + 2 && elements[0] == L"C:" && elements[1] == L"W");
    for (size_t i = 0; i < typed.size(); ++i) {
        Check(elements[i + 2] == typed[i]);  // nothing stripped, cut or climbed
        Check(typed[i].find(L':') == std::wstring::npos && !IsDevice(typed[i]));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text;  // as the program reads it: plain ASCII, byte for byte, or refused whole
    bool decoded = gr::DecodeManifest(std::string_view(reinterpret_cast<const char*>(data), size), text);
    Check(decoded == std::none_of(data, data + size, [](uint8_t byte) { return byte > 0x7F; }));
    Check(decoded ? text == std::wstring(data, data + size) : text.empty());
    if (!decoded) text.assign(data, data + size);  // the fields and the name check still get every byte

    gr::ManifestMap map;
    Check(gr::ParseManifest(text, map) == 0);
    std::vector<std::wstring> fields;
    for (std::wstring& field : Split(text, L"*"))
        if (!field.empty()) fields.push_back(field);
    // Record i starts at field 3i; the last record with an id is the one the map holds.
    std::vector<uint32_t> ids;
    for (size_t i = 0; i + 1 < fields.size(); i += 3) ids.push_back(static_cast<uint32_t>(Strtol(fields[i])));
    std::set<uint32_t> distinct(ids.begin(), ids.end());
    Check(map.size() == distinct.size());
    for (size_t r = ids.size(); r-- > 0;) {
        if (distinct.erase(ids[r]) == 0) continue;  // a later record with this id came first
        const gr::CResourceFile* record = map.Find(ids[r]);
        Check(record != nullptr && record->name == fields[3 * r + 1]);
        Check(record->size == (3 * r + 2 < fields.size() ? Strtol(fields[3 * r + 2]) : 0));
    }

    for (const std::wstring& field : fields) CheckAcceptedName(field);
    CheckAcceptedName(text);
    return 0;
}
