#include "wizard/config.h"

#include "wizard/paths.h"
#include "wizard/xml_scan.h"

namespace wiz {
namespace {

constexpr size_t kMaxProduct = 64;

struct Setting {
    const wchar_t* key;
    std::wstring WizardConfig::*field;
};

// The required settings first.
constexpr Setting kSettings[] = {
    {L"Product", &WizardConfig::product},       {L"ItemsFile", &WizardConfig::itemsFile},
    {L"DataFile", &WizardConfig::dataFile},     {L"Version", &WizardConfig::version},
    {L"FolderName", &WizardConfig::folderName}, {L"UninstallFile", &WizardConfig::uninstallFile},
};

ConfigResult Refused(const std::wstring& why) {
    return ConfigResult{WizardConfig{}, L"configuration: " + why};
}

void Apply(WizardConfig& config, const std::wstring& key, const std::wstring& value) {
    for (const Setting& setting : kSettings)
        if (EqualsIgnoringCase(key, setting.key)) config.*setting.field = value;
}

// Why `config` cannot be used, once the defaults are in; empty when it can.
std::wstring Problem(const WizardConfig& config) {
    for (size_t required = 0; required < 3; ++required) {  // the first three settings
        if ((config.*kSettings[required].field).empty())
            return std::wstring(L"the setting ") + kSettings[required].key + L" is missing";
    }
    if (config.product.size() > kMaxProduct) return L"the product name is too long";
    for (wchar_t c : config.product)
        if (c < 0x20) return L"the product name holds a control character";
    if (!IsSafeRelativePath(config.itemsFile)) return L"ItemsFile is not a file name inside the wizard's folder";
    if (!IsSafeRelativePath(config.dataFile)) return L"DataFile is not a file name inside the wizard's folder";
    if (!IsGoodName(config.folderName)) return L"FolderName is not a folder name";
    if (!IsGoodName(config.uninstallFile)) return L"UninstallFile is not a file name";
    return L"";
}

}  // namespace

ConfigResult ReadConfig(std::wstring_view xml) {
    XmlDocument document = ScanXml(xml);
    if (!document.error.empty()) return Refused(document.error);
    if (document.elements.front().path != L"configuration") return Refused(L"the root element is not <configuration>");
    WizardConfig config;
    for (const XmlElement& element : document.elements) {
        if (element.path != L"configuration/appSettings/add") continue;
        const std::wstring* key = element.Attribute(L"key");
        const std::wstring* value = element.Attribute(L"value");
        if (!key || !value) return Refused(L"an <add> setting has no key or no value");
        Apply(config, *key, *value);
    }
    if (config.version.empty()) config.version = L"1.0";
    if (config.folderName.empty()) config.folderName = config.product;
    if (config.uninstallFile.empty()) config.uninstallFile = L"uninstall-info.txt";
    std::wstring problem = Problem(config);
    if (!problem.empty()) return Refused(problem);
    return ConfigResult{config, L""};
}

}  // namespace wiz
