#include "packer/version_info.h"

#include "packer/utf.h"

namespace gr::pack {
namespace {

constexpr uint32_t kFixedSignature = 0xFEEF04BD;
constexpr uint32_t kFixedStructVersion = 0x00010000;
constexpr uint32_t kFileFlagsMask = 0x3F;  // VS_FFI_FILEFLAGSMASK
constexpr uint32_t kFileOs = 0x00040004;   // VOS_NT_WINDOWS32
constexpr uint32_t kFileTypeApp = 1;       // VFT_APP
constexpr size_t kFixedBytes = 13 * 4;
constexpr uint16_t kBinary = 0, kText = 1;       // a node's wType
constexpr wchar_t kStringTable[] = L"040904b0";  // US English, UTF-16
constexpr uint32_t kTranslation = 0x04B00409;    // the same: language 0x0409, code page 1200

void Pad(Bytes& out) {
    while (out.size() % 4 != 0) out.push_back(0);
}

// Starts a node at the end of `out` (length filled in by End); returns its offset.
size_t Begin(Bytes& out, std::wstring_view key, uint16_t valueLength, uint16_t type) {
    Pad(out);
    size_t start = out.size();
    Append16(out, 0);
    Append16(out, valueLength);
    Append16(out, type);
    AppendUtf16(out, key);
    Append16(out, 0);
    Pad(out);
    return start;
}

void End(Bytes& out, size_t start) { Put16(&out[start], static_cast<uint32_t>(out.size() - start)); }

uint32_t High(const VersionNumbers& v) { return (static_cast<uint32_t>(v[0]) << 16) | v[1]; }
uint32_t Low(const VersionNumbers& v) { return (static_cast<uint32_t>(v[2]) << 16) | v[3]; }

void AppendFixed(Bytes& out, const VersionInfo& info) {
    for (uint32_t field :
         {kFixedSignature, kFixedStructVersion, High(info.fileVersion), Low(info.fileVersion),
          High(info.productVersion), Low(info.productVersion), kFileFlagsMask, 0u, kFileOs, kFileTypeApp, 0u, 0u, 0u})
        Append32(out, field);
}

void AppendStrings(Bytes& out, const VersionInfo& info) {
    size_t file = Begin(out, L"StringFileInfo", 0, kText);
    size_t table = Begin(out, kStringTable, 0, kText);
    for (const auto& [name, value] : info.strings) {
        size_t entry = Begin(out, name, static_cast<uint16_t>(Utf16Length(value) + 1), kText);
        AppendUtf16(out, value);
        Append16(out, 0);
        End(out, entry);
    }
    End(out, table);
    End(out, file);
}

void AppendTranslation(Bytes& out) {
    size_t file = Begin(out, L"VarFileInfo", 0, kText);
    size_t entry = Begin(out, L"Translation", 4, kBinary);
    Append32(out, kTranslation);
    End(out, entry);
    End(out, file);
}

// One node of the tree: its key, its value's bytes and where its children lie.
struct Node {
    std::wstring key;
    uint16_t type = 0;
    size_t valueAt = 0, valueBytes = 0;
    size_t childrenAt = 0, end = 0;
};

size_t Aligned(size_t offset) { return (offset + 3) & ~size_t{3}; }

bool ReadNode(const Bytes& data, size_t at, size_t limit, Node& node) {
    if (at + 6 > limit) return false;
    size_t length = Get16(&data[at]);
    size_t valueLength = Get16(&data[at + 2]);
    node.type = Get16(&data[at + 4]);
    if (length < 6 || at + length > limit) return false;
    node.end = at + length;
    node.key.clear();
    size_t cursor = at + 6;
    for (; cursor + 2 <= node.end && Get16(&data[cursor]) != 0; cursor += 2)
        node.key.push_back(static_cast<wchar_t>(Get16(&data[cursor])));
    if (cursor + 2 > node.end) return false;
    node.valueAt = Aligned(cursor + 2);
    node.valueBytes = node.type == kText ? valueLength * 2 : valueLength;
    if (node.valueAt > node.end) return false;
    if (node.valueBytes > node.end - node.valueAt) node.valueBytes = node.end - node.valueAt;
    node.childrenAt = Aligned(node.valueAt + node.valueBytes);
    return true;
}

// Calls `use` with each child of `parent`; false when one does not hold together.
template <typename Use>
bool EachChild(const Bytes& data, const Node& parent, Use use) {
    for (size_t at = parent.childrenAt; at + 6 <= parent.end; at = Aligned(at)) {
        Node child;
        if (!ReadNode(data, at, parent.end, child) || !use(child)) return false;
        at = child.end;
    }
    return true;
}

VersionNumbers FromFixed(const Bytes& data, size_t at) {
    uint32_t high = Get32(&data[at]), low = Get32(&data[at + 4]);
    return {static_cast<uint16_t>(high >> 16), static_cast<uint16_t>(high), static_cast<uint16_t>(low >> 16),
            static_cast<uint16_t>(low)};
}

bool ReadStrings(const Bytes& data, const Node& file, VersionInfo& info) {
    return EachChild(data, file, [&](const Node& table) {
        return EachChild(data, table, [&](const Node& entry) {
            std::wstring value = ReadUtf16(&data[entry.valueAt], entry.valueBytes / 2);
            while (!value.empty() && value.back() == L'\0') value.pop_back();
            info.strings.emplace_back(entry.key, value);
            return true;
        });
    });
}

}  // namespace

const std::wstring* VersionInfo::Find(std::wstring_view name) const {
    for (const auto& [key, value] : strings)
        if (key == name) return &value;
    return nullptr;
}

void VersionInfo::Set(std::wstring_view name, std::wstring value) {
    for (auto& [key, existing] : strings)
        if (key == name) {
            existing = std::move(value);
            return;
        }
    strings.emplace_back(std::wstring(name), std::move(value));
}

bool ParseVersion(std::string_view text, VersionNumbers& numbers) {
    numbers = {};
    size_t part = 0;
    while (true) {
        size_t end = text.find('.');
        std::string_view digits = text.substr(0, end);
        if (part == numbers.size() || digits.empty() || digits.size() > 5) return false;
        uint32_t value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return false;
            value = value * 10 + static_cast<uint32_t>(c - '0');
        }
        if (value > 0xFFFF) return false;
        numbers[part++] = static_cast<uint16_t>(value);
        if (end == std::string_view::npos) return true;
        text.remove_prefix(end + 1);
    }
}

std::wstring VersionText(const VersionNumbers& numbers) {
    return std::to_wstring(numbers[0]) + L"." + std::to_wstring(numbers[1]) + L"." + std::to_wstring(numbers[2]) +
           L"." + std::to_wstring(numbers[3]);
}

Bytes EncodeVersionInfo(const VersionInfo& info) {
    Bytes out;
    size_t root = Begin(out, L"VS_VERSION_INFO", kFixedBytes, kBinary);
    AppendFixed(out, info);
    AppendStrings(out, info);
    AppendTranslation(out);
    End(out, root);
    return out;
}

bool DecodeVersionInfo(const Bytes& data, VersionInfo& info) {
    Node root;
    if (!ReadNode(data, 0, data.size(), root) || root.key != L"VS_VERSION_INFO" || root.valueBytes != kFixedBytes ||
        Get32(&data[root.valueAt]) != kFixedSignature)
        return false;
    info = {};
    info.fileVersion = FromFixed(data, root.valueAt + 8);
    info.productVersion = FromFixed(data, root.valueAt + 16);
    return EachChild(data, root, [&](const Node& child) {
        return child.key != L"StringFileInfo" || ReadStrings(data, child, info);
    });
}

}  // namespace gr::pack
