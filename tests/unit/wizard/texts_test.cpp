#include "wizard/texts.h"

#include <gtest/gtest.h>

#include "wizard/uninstall_info.h"

namespace wiz {
namespace {

TEST(WizardTexts, TitleAndWelcomeNameTheProgramWhenThereIsOne) {
    EXPECT_EQ(WindowTitle(L"Oakcrest", L"Zava"), L"Oakcrest Setup - Zava");
    EXPECT_EQ(WindowTitle(L"Oakcrest", L""), L"Oakcrest Setup");
    PageFlow flow;
    EXPECT_EQ(PageHeading(flow, L"Oakcrest", L"Zava").subtitle, L"Installing for Zava");
    EXPECT_EQ(PageHeading(flow, L"Oakcrest", L"").subtitle, L"Setup installs Oakcrest for you.");
    EXPECT_TRUE(WelcomeText(L"Oakcrest", L"1.0", L"Zava")
                    .starts_with(L"This wizard installs Oakcrest 1.0 on this computer, for the program Zava.\r\n"));
    EXPECT_TRUE(WelcomeText(L"Oakcrest", L"1.0", L"").starts_with(L"This wizard installs Oakcrest 1.0 on this computer.\r\n"));
}

TEST(WizardTexts, EachPageAndEachEndHasItsOwnHeading) {
    PageFlow flow;
    std::vector<std::wstring> titles;
    titles.push_back(PageHeading(flow, L"Oakcrest", L"").title);
    flow.PressNext();
    titles.push_back(PageHeading(flow, L"Oakcrest", L"").title);
    flow.SetAccepted(true);
    flow.PressNext();
    titles.push_back(PageHeading(flow, L"Oakcrest", L"").title);
    flow.PressNext();
    titles.push_back(PageHeading(flow, L"Oakcrest", L"").title);
    PageFlow failed = flow;
    flow.InstallEnded(true);
    failed.InstallEnded(false);
    titles.push_back(PageHeading(flow, L"Oakcrest", L"").title);
    titles.push_back(PageHeading(failed, L"Oakcrest", L"").title);
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"Welcome to Oakcrest Setup", L"Licence Agreement", L"Install Folder",
                                                 L"Installing Oakcrest", L"Installation Complete",
                                                 L"Installation Failed"}));
}

TEST(WizardTexts, ComponentsWithTheirSizesAndTheTotal) {
    EXPECT_EQ(ComponentsText({Item{L"Core", L"core", L"a", 42}, Item{L"One", L"one", L"b", 1}}),
              L"Core: 42 bytes\r\nOne: 1 byte\r\nTotal: 43 bytes");
    EXPECT_EQ(Bytes(0), L"0 bytes");
    EXPECT_EQ(Bytes(5000000000ull), L"5000000000 bytes");
}

TEST(WizardTexts, ResultsAndCaptions) {
    EXPECT_EQ(ResultText(true, L"Oakcrest", L"C:\\Oak", L""),
              L"Oakcrest has been installed in\r\nC:\\Oak\r\n\r\nClick Finish to close the wizard.");
    EXPECT_EQ(ResultText(false, L"Oakcrest", L"C:\\Oak", L"cannot write C:\\Oak\\a (error 5)"),
              L"The install did not complete:\r\ncannot write C:\\Oak\\a (error 5)\r\n\r\nClick Close to leave the wizard.");
    EXPECT_STREQ(CaptionText(NextCaption::Next), L"&Next >");
    EXPECT_STREQ(CaptionText(NextCaption::Install), L"&Install");
    EXPECT_STREQ(CaptionText(NextCaption::Finish), L"&Finish");
    EXPECT_STREQ(CaptionText(NextCaption::Close), L"&Close");
}

TEST(WizardUninstallInfo, NamesTheProductAndEveryFileAndFolderWritten) {
    InstallPlan plan;
    plan.files = {PlannedFile{L"Core", L"oakcrest.txt", 0, 1}, PlannedFile{L"Docs", L"Docs\\Guide\\g.txt", 1, 1}};
    plan.folders = {L"Docs", L"Docs\\Guide"};
    EXPECT_EQ(UninstallInfo(InstallFacts{L"Oakcrest", L"1.0", L"Zava", L"C:\\Users\\me\\AppData\\Local\\Oakcrest"}, plan),
              L"[Uninstall]\r\nProduct=Oakcrest\r\nVersion=1.0\r\nProgram=Zava\r\n"
              L"Folder=C:\\Users\\me\\AppData\\Local\\Oakcrest\r\nFile=oakcrest.txt\r\nFile=Docs\\Guide\\g.txt\r\n"
              L"Subfolder=Docs\r\nSubfolder=Docs\\Guide\r\n");
}

}  // namespace
}  // namespace wiz
