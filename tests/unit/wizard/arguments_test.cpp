#include "wizard/arguments.h"

#include <gtest/gtest.h>

namespace wiz {
namespace {

using Words = std::vector<std::wstring>;

TEST(WizardArguments, WhatTheBootstrapperPassesOn) {
    WizardArguments arguments = ParseArguments(
        Words{L"/IAgreeToTheEULA", L"/log", L"C:\\Logs\\setup.log", L"INSTALLDIR=D:\\Apps\\Oakcrest", L"CV_I=Zava"});
    EXPECT_TRUE(arguments.silent);
    EXPECT_EQ(arguments.logPath, L"C:\\Logs\\setup.log");
    EXPECT_EQ(arguments.installFolder, L"D:\\Apps\\Oakcrest");
    EXPECT_EQ(arguments.programName, L"Zava");
    EXPECT_TRUE(arguments.ignored.empty());
    EXPECT_EQ(arguments.error, L"");
}

TEST(WizardArguments, NothingGivenMeansInteractiveWithTheDefaults) {
    WizardArguments arguments = ParseArguments(Words{});
    EXPECT_FALSE(arguments.silent);
    EXPECT_EQ(arguments.logPath, L"");
    EXPECT_EQ(arguments.installFolder, L"");
    EXPECT_EQ(arguments.programName, L"");
    EXPECT_EQ(arguments.error, L"");
}

TEST(WizardArguments, SwitchesTakeEitherPrefixButOnlyTheirExactCase) {
    EXPECT_TRUE(ParseArguments(Words{L"-IAgreeToTheEULA"}).silent);
    EXPECT_EQ(ParseArguments(Words{L"-log", L"a.log"}).logPath, L"a.log");
    WizardArguments other = ParseArguments(Words{L"/iagreetotheeula", L"IAgreeToTheEULA", L"/IAgreeToTheEULAx"});
    EXPECT_FALSE(other.silent);
    EXPECT_EQ(other.ignored, (Words{L"/iagreetotheeula", L"IAgreeToTheEULA", L"/IAgreeToTheEULAx"}));
}

TEST(WizardArguments, ValueSwitchesTheWizardDoesNotUseKeepTheirValueFromOtherWords) {
    WizardArguments arguments =
        ParseArguments(Words{L"/LOG", L"x.log", L"/extract", L"C:\\out", L"/TEMP", L"C:\\t", L"/keep"});
    EXPECT_EQ(arguments.logPath, L"");
    EXPECT_EQ(arguments.ignored, (Words{L"/LOG x.log", L"/extract C:\\out", L"/TEMP C:\\t", L"/keep"}));
    EXPECT_EQ(arguments.error, L"");
}

TEST(WizardArguments, AValueSwitchWithoutItsValueIsABadArgument) {
    EXPECT_EQ(ParseArguments(Words{L"/log"}).error, L"/log needs a value.");
    WizardArguments empty = ParseArguments(Words{L"/temp", L"", L"CV_I=Zava"});
    EXPECT_EQ(empty.error, L"/temp needs a value.");
    EXPECT_EQ(empty.programName, L"Zava");  // the empty word was the value, not an argument
    EXPECT_TRUE(empty.ignored.empty());
}

TEST(WizardArguments, PropertiesMatchTheirNameInAnyCaseAndTheLastOneCounts) {
    WizardArguments arguments =
        ParseArguments(Words{L"installdir=C:\\A", L"Cv_i=First", L"INSTALLDIR=C:\\B", L"CV_I=", L"CV_IX=1", L"CV_I"});
    EXPECT_EQ(arguments.installFolder, L"C:\\B");
    EXPECT_EQ(arguments.programName, L"");
    EXPECT_EQ(arguments.ignored, (Words{L"CV_IX=1", L"CV_I"}));
}

TEST(WizardArguments, TheInstallFolderIsCheckedAndTidied) {
    EXPECT_EQ(ParseArguments(Words{L"INSTALLDIR=C:/Apps/Oakcrest/"}).installFolder, L"C:\\Apps\\Oakcrest");
    WizardArguments relative = ParseArguments(Words{L"INSTALLDIR=Apps\\Oakcrest"});
    EXPECT_EQ(relative.installFolder, L"");
    EXPECT_EQ(relative.error, L"INSTALLDIR 'Apps\\Oakcrest': The folder must be a full path, such as C:\\Folder.");
    EXPECT_NE(ParseArguments(Words{L"INSTALLDIR="}).error, L"");
}

TEST(WizardArguments, EveryWordIsReadEvenAfterABadOne) {
    // A silent run stays silent whatever stands before the switch.
    WizardArguments arguments = ParseArguments(
        Words{L"INSTALLDIR=C:\\", L"/IAgreeToTheEULA", L"/log", L"s.log", L"INSTALLDIR=nowhere"});
    EXPECT_TRUE(arguments.silent);
    EXPECT_EQ(arguments.logPath, L"s.log");
    EXPECT_EQ(arguments.error, L"INSTALLDIR 'C:\\': The folder cannot be the root of a drive or share.");
}

}  // namespace
}  // namespace wiz
