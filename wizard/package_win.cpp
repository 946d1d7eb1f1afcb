#include "wizard/package_win.h"

#include <windows.h>
#include <shlobj.h>

#include "wizard/data_file.h"
#include "wizard/files_win.h"
#include "wizard/paths.h"
#include "wizard/text_win.h"

namespace wiz {
namespace {

std::wstring CannotRead(const std::wstring& path, DWORD error) {
    return L"cannot read " + path + L" (error " + std::to_wstring(error) + L")";
}

// Reads an XML file as text; false with `error` set.
bool ReadText(const std::wstring& path, std::wstring& text, std::wstring& error) {
    std::string bytes;
    DWORD failure = ReadWholeFile(path, bytes);
    if (failure != 0) error = CannotRead(path, failure);
    else if (!FromUtf8(bytes, text)) error = path + L" is not UTF-8 text";
    return error.empty();
}

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

}  // namespace

bool LoadPackage(Package& package, std::wstring& error) {
    std::wstring own = OwnPath();
    std::wstring text;
    if (!ReadText(own + L".config", text, error)) return false;
    ConfigResult config = ReadConfig(text);
    if (error = config.error; !error.empty()) return false;
    package.config = config.config;
    if (!ReadText(JoinPath(FolderOf(own), package.config.itemsFile), text, error)) return false;
    ItemList items = ReadItems(text);
    if (error = items.error; !error.empty()) return false;
    package.items = std::move(items.items);
    std::wstring dataPath = JoinPath(FolderOf(own), package.config.dataFile);
    if (DWORD failure = ReadWholeFile(dataPath, package.data); failure != 0) {
        error = CannotRead(dataPath, failure);
        return false;
    }
    DataFile data = ReadDataFile(package.data);
    if (error = data.error; !error.empty()) return false;
    package.plan = MakeInstallPlan(package.items, data.blocks, package.config.uninstallFile);
    error = package.plan.error;
    return error.empty();
}

bool DefaultInstallFolder(const WizardConfig& config, std::wstring& folder, std::wstring& error) {
    wchar_t base[MAX_PATH] = L"";
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base))) {
        error = L"the local application data folder is not known";
        return false;
    }
    FolderCheck check = CheckInstallFolder(JoinPath(base, config.folderName));
    if (!check.error.empty()) {
        error = L"the default install folder " + check.folder + L" cannot be used: " + check.error;
        return false;
    }
    folder = check.folder;
    return true;
}

}  // namespace wiz
