#include "wizard/items.h"

#include <gtest/gtest.h>

namespace wiz {
namespace {

std::wstring List(const std::wstring& items) {
    return L"<?xml version=\"1.0\"?>\n<ProjectItems product=\"Oakcrest\">\n" + items + L"</ProjectItems>\n";
}

std::wstring OneItem(const std::wstring& folder, const std::wstring& file, const std::wstring& size = L"5") {
    return List(L"<Item name='Core' block='core' folder='" + folder + L"' file='" + file + L"' size='" + size + L"'/>");
}

TEST(WizardItems, ReadsEachItemWithItsPathInsideTheInstallFolder) {
    ItemList list = ReadItems(List(
        L"  <Item name=\"Oakcrest Core\" block=\"core\" folder=\"[INSTALLDIR]\" file=\"oakcrest.txt\" size=\"42\"/>\n"
        L"  <Item name=\"Samples\" block=\"samples\" folder=\"[INSTALLDIR]\\Samples\\Deep\" file=\"s.txt\" size=\"0\"/>\n"));
    ASSERT_EQ(list.error, L"");
    ASSERT_EQ(list.items.size(), 2u);
    EXPECT_EQ(list.items[0].name, L"Oakcrest Core");
    EXPECT_EQ(list.items[0].block, L"core");
    EXPECT_EQ(list.items[0].target, L"oakcrest.txt");
    EXPECT_EQ(list.items[0].size, 42u);
    EXPECT_EQ(list.items[1].target, L"Samples\\Deep\\s.txt");
    EXPECT_EQ(list.items[1].size, 0u);
}

TEST(WizardItems, OnlyItemsDirectlyUnderTheRootCount) {
    ItemList list = ReadItems(List(L"<Group><Item name='x'/></Group><Item name='Core' block='core' "
                                   L"folder='[INSTALLDIR]' file='a' size='999999999'/>"));
    ASSERT_EQ(list.error, L"");
    ASSERT_EQ(list.items.size(), 1u);
    EXPECT_EQ(list.items[0].size, 999999999u);
}

TEST(WizardItems, EveryFileStaysInsideTheInstallFolder) {
    const wchar_t* outside = L"items list: item 1: folder and file do not name a file inside [INSTALLDIR]";
    const std::pair<const wchar_t*, const wchar_t*> places[] = {
        {L"C:\\Windows", L"a.txt"},       {L"[INSTALLDIR]\\..", L"a.txt"},   {L"[INSTALLDIR]\\..\\x", L"a.txt"},
        {L"[INSTALLDIR]", L"..\\a.txt"},  {L"[INSTALLDIR]", L"sub\\a.txt"},  {L"[INSTALLDIR]", L""},
        {L"[INSTALLDIR]x", L"a.txt"},     {L"[INSTALLDIR]\\", L"a.txt"},     {L"[installdir]", L"a.txt"},
        {L"x[INSTALLDIR]", L"a.txt"},     {L"[INSTALLDIR]\\C:", L"a.txt"},   {L"[INSTALLDIR]", L"CON"},
        {L"[INSTALLDIR]/x", L"a.txt"},    {L"[INSTALLDIR]\\\\x", L"a.txt"},
    };
    for (const auto& [folder, file] : places) EXPECT_EQ(ReadItems(OneItem(folder, file)).error, outside) << folder << file;
}

TEST(WizardItems, RefusedWithTheReason) {
    struct Case {
        std::wstring text;
        const wchar_t* error;
    };
    const Case cases[] = {
        {L"<ProjectItems>", L"items list: line 1: element <ProjectItems> is not closed"},
        {L"<Items/>", L"items list: the root element is not <ProjectItems>"},
        {List(L""), L"items list: there is no <Item>"},
        {List(L"<Item name='a' block='b' folder='[INSTALLDIR]' file='f'/>"), L"items list: item 1: the attribute size is missing"},
        {List(L"<Item block='b' folder='[INSTALLDIR]' file='f' size='1'/>"), L"items list: item 1: the attribute name is missing"},
        {List(L"<Item name='' block='b' folder='[INSTALLDIR]' file='f' size='1'/>"), L"items list: item 1: the name is empty"},
        {OneItem(L"[INSTALLDIR]", L"a", L""), L"items list: item 1: the size is not a number of bytes"},
        {OneItem(L"[INSTALLDIR]", L"a", L"-1"), L"items list: item 1: the size is not a number of bytes"},
        {OneItem(L"[INSTALLDIR]", L"a", L"1e3"), L"items list: item 1: the size is not a number of bytes"},
        {OneItem(L"[INSTALLDIR]", L"a", L"1000000000"), L"items list: item 1: the size is not a number of bytes"},
        {List(L"<Item name='a' block='b' folder='[INSTALLDIR]\\Sub' file='f.txt' size='1'/>"
              L"<Item name='c' block='d' folder='[INSTALLDIR]\\sub' file='F.TXT' size='1'/>"),
         L"items list: item 2: a second item for sub\\F.TXT"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadItems(c.text).error, c.error) << c.text;
}

}  // namespace
}  // namespace wiz
