#include "wizard/config.h"

#include <gtest/gtest.h>

namespace wiz {
namespace {

std::wstring Config(const std::wstring& settings) {
    return L"<?xml version=\"1.0\"?>\n<configuration>\n  <appSettings>\n" + settings +
           L"  </appSettings>\n</configuration>\n";
}

const std::wstring kRequired =
    L"<add key=\"Product\" value=\"Oakcrest\"/><add key=\"ItemsFile\" value=\"ProjectItems.xml\"/>"
    L"<add key=\"DataFile\" value=\"install.bin\"/>";

TEST(WizardConfig, RequiredSettingsAndTheDefaultsOfTheOthers) {
    ConfigResult result = ReadConfig(Config(kRequired));
    ASSERT_EQ(result.error, L"");
    EXPECT_EQ(result.config.product, L"Oakcrest");
    EXPECT_EQ(result.config.itemsFile, L"ProjectItems.xml");
    EXPECT_EQ(result.config.dataFile, L"install.bin");
    EXPECT_EQ(result.config.version, L"1.0");
    EXPECT_EQ(result.config.folderName, L"Oakcrest");
    EXPECT_EQ(result.config.uninstallFile, L"uninstall-info.txt");
}

TEST(WizardConfig, KeysInAnyCaseTheLastOneCountingUnknownOnesIgnored) {
    ConfigResult result = ReadConfig(Config(
        kRequired + L"<add key='VERSION' value='2.5'/><add key='foldername' value='Oak Apps'/>"
                    L"<add key='Product' value='Oakcrest &amp; Co'/><add key='ProjectFile' value='x'/>"
                    L"<add key='UninstallFile' value='remove.txt'/><other key='Version' value='9'/>"));
    ASSERT_EQ(result.error, L"");
    EXPECT_EQ(result.config.product, L"Oakcrest & Co");
    EXPECT_EQ(result.config.version, L"2.5");
    EXPECT_EQ(result.config.folderName, L"Oak Apps");
    EXPECT_EQ(result.config.uninstallFile, L"remove.txt");
}

TEST(WizardConfig, SettingsCountOnlyInsideAppSettings) {
    std::wstring elsewhere = L"<configuration><add key='Product' value='X'/><appSettings/></configuration>";
    EXPECT_EQ(ReadConfig(elsewhere).error, L"configuration: the setting Product is missing");
}

TEST(WizardConfig, RefusedWithTheReason) {
    struct Case {
        std::wstring text;
        const wchar_t* error;
    };
    const Case cases[] = {
        {L"<configuration>", L"configuration: line 1: element <configuration> is not closed"},
        {L"<settings/>", L"configuration: the root element is not <configuration>"},
        {Config(L"<add key='Product'/>"), L"configuration: an <add> setting has no key or no value"},
        {Config(L"<add key='ItemsFile' value='a'/><add key='DataFile' value='b'/>"),
         L"configuration: the setting Product is missing"},
        {Config(L"<add key='Product' value='P'/><add key='DataFile' value='b'/>"),
         L"configuration: the setting ItemsFile is missing"},
        {Config(L"<add key='Product' value='P'/><add key='ItemsFile' value='a'/>"),
         L"configuration: the setting DataFile is missing"},
        {Config(kRequired + L"<add key='Product' value='" + std::wstring(65, L'p') + L"'/>"),
         L"configuration: the product name is too long"},
        {Config(kRequired + L"<add key='Product' value='a&#9;b'/>"),
         L"configuration: the product name holds a control character"},
        {Config(kRequired + L"<add key='ItemsFile' value='..\\items.xml'/>"),
         L"configuration: ItemsFile is not a file name inside the wizard's folder"},
        {Config(kRequired + L"<add key='DataFile' value='C:\\data.bin'/>"),
         L"configuration: DataFile is not a file name inside the wizard's folder"},
        {Config(kRequired + L"<add key='FolderName' value='a\\b'/>"), L"configuration: FolderName is not a folder name"},
        {Config(kRequired + L"<add key='UninstallFile' value='sub\\u.txt'/>"),
         L"configuration: UninstallFile is not a file name"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadConfig(c.text).error, c.error) << c.text;
}

}  // namespace
}  // namespace wiz
