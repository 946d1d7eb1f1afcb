#include "wizard/items.h"

#include "wizard/paths.h"
#include "wizard/xml_scan.h"

namespace wiz {
namespace {

constexpr std::wstring_view kInstallDir = L"[INSTALLDIR]";
constexpr size_t kMaxSizeDigits = 9;

ItemList Refused(size_t index, const std::wstring& why) {
    std::wstring where = index > 0 ? L"item " + std::to_wstring(index) + L": " : L"";
    return ItemList{{}, L"items list: " + where + why};
}

bool ReadSize(const std::wstring& text, uint32_t& size) {
    if (text.empty() || text.size() > kMaxSizeDigits) return false;
    size = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        size = size * 10 + static_cast<uint32_t>(c - L'0');
    }
    return true;
}

// The file's path inside the install folder, from `folder` and `file`; empty when they do
// not name a place inside it.
std::wstring Target(std::wstring_view folder, const std::wstring& file) {
    if (!folder.starts_with(kInstallDir) || !IsGoodName(file)) return L"";
    folder.remove_prefix(kInstallDir.size());
    if (folder.empty()) return file;
    if (folder[0] != L'\\' || !IsSafeRelativePath(folder.substr(1))) return L"";
    std::wstring target = JoinPath(folder.substr(1), file);
    return IsSafeRelativePath(target) ? target : L"";
}

// Why the element cannot be an item; empty when `item` is filled in.
std::wstring ReadItem(const XmlElement& element, Item& item) {
    const wchar_t* names[] = {L"name", L"block", L"folder", L"file", L"size"};
    const std::wstring* values[5];
    for (size_t i = 0; i < 5; ++i) {
        values[i] = element.Attribute(names[i]);
        if (!values[i]) return std::wstring(L"the attribute ") + names[i] + L" is missing";
    }
    const std::wstring &name = *values[0], &block = *values[1], &folder = *values[2], &file = *values[3];
    if (name.empty()) return L"the name is empty";
    item.name = name;
    item.block = block;
    item.target = Target(folder, file);
    if (item.target.empty()) return L"folder and file do not name a file inside [INSTALLDIR]";
    if (!ReadSize(*values[4], item.size)) return L"the size is not a number of bytes";
    return L"";
}

}  // namespace

ItemList ReadItems(std::wstring_view xml) {
    XmlDocument document = ScanXml(xml);
    if (!document.error.empty()) return Refused(0, document.error);
    if (document.elements.front().path != L"ProjectItems") return Refused(0, L"the root element is not <ProjectItems>");
    ItemList list;
    for (const XmlElement& element : document.elements) {
        if (element.path != L"ProjectItems/Item") continue;
        Item item;
        std::wstring problem = ReadItem(element, item);
        for (const Item& earlier : list.items)
            if (problem.empty() && EqualsIgnoringCase(earlier.target, item.target))
                problem = L"a second item for " + item.target;
        if (!problem.empty()) return Refused(list.items.size() + 1, problem);
        list.items.push_back(std::move(item));
    }
    if (list.items.empty()) return Refused(0, L"there is no <Item>");
    return list;
}

}  // namespace wiz
