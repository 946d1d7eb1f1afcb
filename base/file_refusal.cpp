#include "base/file_refusal.h"

namespace gr {

FileRefusal RefusalOf(const OpenedFacts& facts, FileUse use) {
    if (facts.attributes & kAttributeReparsePoint) return FileRefusal::Link;
    if (facts.attributes & kAttributeDirectory) return FileRefusal::Folder;
    if (!facts.atItsName) return FileRefusal::Elsewhere;
    if (use == FileUse::Write && facts.links > 1) return FileRefusal::OtherNames;
    return FileRefusal::None;
}

const wchar_t* RefusalText(FileRefusal refusal) {
    switch (refusal) {
    case FileRefusal::Folder: return L"it is a folder";
    case FileRefusal::Link: return L"it is a link";
    case FileRefusal::Elsewhere: return L"it leads to another file";
    case FileRefusal::OtherNames: return L"it has other names";
    case FileRefusal::None: break;
    }
    return L"";
}

std::wstring ExpectedFinalPath(std::wstring_view folderFinal, std::wstring_view name) {
    std::wstring path(folderFinal);
    if (path.empty() || path.back() != L'\\') path.push_back(L'\\');
    return path.append(name);
}

bool SplitFolderAndName(std::wstring_view path, std::wstring& folder, std::wstring& name) {
    size_t last = path.find_last_of(L'\\');
    if (last == std::wstring_view::npos || last == 0 || last + 1 >= path.size()) return false;
    // "C:\name" and "\\?\C:\name": the folder is the drive's root, with its backslash.
    size_t folderEnd = path[last - 1] == L':' ? last + 1 : last;
    folder.assign(path.substr(0, folderEnd));
    name.assign(path.substr(last + 1));
    return true;
}

}  // namespace gr
