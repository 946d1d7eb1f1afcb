#include "wizard/install_plan.h"

#include "wizard/paths.h"

namespace wiz {
namespace {

const DataBlock* FindBlock(const std::vector<DataBlock>& blocks, const std::wstring& name) {
    for (const DataBlock& block : blocks)
        if (block.name == name) return &block;
    return nullptr;
}

// Adds the folders above `target` ("a", "a\b" for "a\b\file") that are not listed yet.
void AddFolders(const std::wstring& target, std::vector<std::wstring>& folders) {
    for (size_t slash = target.find(L'\\'); slash != std::wstring::npos; slash = target.find(L'\\', slash + 1)) {
        std::wstring folder = target.substr(0, slash);
        bool listed = false;
        for (const std::wstring& known : folders) listed = listed || EqualsIgnoringCase(known, folder);
        if (!listed) folders.push_back(folder);
    }
}

InstallPlan Refused(const Item& item, const std::wstring& why) {
    InstallPlan plan;
    plan.error = L"component " + item.name + L": " + why;
    return plan;
}

}  // namespace

InstallPlan MakeInstallPlan(const std::vector<Item>& items, const std::vector<DataBlock>& blocks,
                            std::wstring_view uninstallFile) {
    InstallPlan plan;
    for (const Item& item : items) {
        const DataBlock* block = FindBlock(blocks, item.block);
        if (!block) return Refused(item, L"the data file has no block " + item.block);
        if (block->size != item.size)
            return Refused(item, L"the items list states " + std::to_wstring(item.size) + L" bytes, the data file holds " +
                                     std::to_wstring(block->size));
        if (EqualsIgnoringCase(item.target, uninstallFile))
            return Refused(item, L"its file would take the place of the uninstall information");
        AddFolders(item.target, plan.folders);
        plan.files.push_back(PlannedFile{item.name, item.target, block->offset, block->size});
        plan.bytes += block->size;
    }
    return plan;
}

}  // namespace wiz
