#include "app/options.h"

#include <gtest/gtest.h>

#include "framework/command_line.h"

namespace gr {
namespace {

// A current directory of C:\Work, and a path limit of 260 characters with the terminator.
bool FakeFullPath(const std::wstring& typed, std::wstring& full) {
    if (typed.empty() || typed == L".") full = L"C:\\Work";
    else if (typed.size() > 1 && typed[1] == L':') full = typed;
    else full = L"C:\\Work\\" + typed;
    return full.size() < 260;
}

struct Pass {
    explicit Pass(const std::wstring& arguments, OptionFacts facts = AdminFacts()) {
        ParseCommandLine(info, L"GearRackInstaller.exe " + arguments);
        out = EvaluateOptions(info, facts, FakeFullPath, L"Zava");
    }
    static OptionFacts AdminFacts() {
        OptionFacts facts;
        facts.systemDrive = L"C:";
        return facts;
    }
    // The words the wizard's own splitting finds in its command line.
    std::vector<std::wstring> WizardWords() const {
        std::vector<std::wstring> words = SplitCommandLine(L"\"wizard.exe\" " + out.wizardArguments);
        words.erase(words.begin());
        return words;
    }
    CCommandLineInfoEx info;
    OptionsOutcome out;
};

TEST(Options, NoArgumentsGiveOnlyTheProgramName) {
    Pass pass(L"");
    EXPECT_EQ(pass.out.result, 0u);
    EXPECT_EQ(pass.out.wizardArguments, L"CV_I=\"Zava\" ");
    EXPECT_FALSE(pass.out.silent);
    EXPECT_TRUE(pass.out.runWizard);
    EXPECT_TRUE(pass.out.removeFolder);
    EXPECT_TRUE(pass.out.logPath.empty());
    EXPECT_EQ(pass.out.logLines, (std::vector<std::wstring>{L"Command line params CV_I=\"Zava\" \n",
                                                            L"Temp folder 'C:'\n"}));
}

TEST(Options, WorkingFolderRootFollowsTheAdministratorSetting) {
    OptionFacts facts;
    EXPECT_EQ(Pass(L"", facts).out.workingFolderRoot, L"C:\\");  // no SystemDrive variable
    facts.systemDrive = L"D:";
    EXPECT_EQ(Pass(L"", facts).out.workingFolderRoot, L"D:");
    facts.administratorRequired = false;
    facts.tempPath = L"C:\\Users\\u\\Temp\\";
    EXPECT_EQ(Pass(L"", facts).out.workingFolderRoot, L"C:\\Users\\u\\Temp\\");
    facts.tempPath.clear();
    EXPECT_EQ(Pass(L"", facts).out.workingFolderRoot, L"");
    EXPECT_EQ(Pass(L"temp d:\\w", facts).out.workingFolderRoot, L"d:\\w");
}

TEST(Options, EnumerationOrderDecidesTheWizardArguments) {
    Pass pass(L"/IAgreeToTheEULA log c:\\l.txt temp d:\\w");
    EXPECT_TRUE(pass.out.silent);
    EXPECT_EQ(pass.out.logPath, L"c:\\l.txt");
    EXPECT_EQ(pass.out.wizardArguments,
              L"/temp \"d:\\w\" /IAgreeToTheEULA /log \"c:\\l.txt\" CV_I=\"Zava\" ");
}

TEST(Options, OwnFlagsAreCaseSensitiveAndRemovedFromTheWizardArguments) {
    Pass own(L"/dontrun -keep /zeroguid");
    EXPECT_FALSE(own.out.runWizard);
    EXPECT_FALSE(own.out.removeFolder);
    EXPECT_TRUE(own.out.zeroGuid);
    EXPECT_EQ(own.out.wizardArguments, L"CV_I=\"Zava\" ");

    Pass other(L"/KEEP /iagreetotheeula keep");
    EXPECT_TRUE(other.out.removeFolder);
    EXPECT_FALSE(other.out.silent);
    std::vector<std::wstring> words = other.WizardWords();
    EXPECT_NE(std::find(words.begin(), words.end(), L"/KEEP"), words.end());
    EXPECT_NE(std::find(words.begin(), words.end(), L"keep"), words.end());
    EXPECT_NE(std::find(words.begin(), words.end(), L"/iagreetotheeula"), words.end());
}

TEST(Options, ValueOptionsTakeTheNextWord) {
    Pass upper(L"LOG c:\\l.txt");
    EXPECT_TRUE(upper.out.logPath.empty());  // taken as a value option, but not the log
    EXPECT_EQ(upper.out.wizardArguments, L"/LOG \"c:\\l.txt\" CV_I=\"Zava\" ");

    Pass replaced(L"log extract x");
    EXPECT_TRUE(replaced.out.logPath.empty());
    EXPECT_EQ(replaced.out.wizardArguments, L"/extract \"C:\\Work\\x\" CV_I=\"Zava\" ");

    Pass dot(L"extract .");
    EXPECT_EQ(dot.out.wizardArguments, L"/extract \"C:\\Work\" CV_I=\"Zava\" ");

    Pass last(L"log");  // stored as a plain word; its empty value is the current directory
    EXPECT_EQ(last.out.logPath, L"C:\\Work");
    EXPECT_EQ(last.out.result, 0u);

    Pass trailing(L"temp d:\\w\\");
    EXPECT_EQ(trailing.out.workingFolderRoot, L"d:\\w\\");
    EXPECT_EQ(trailing.out.wizardArguments, L"/temp \"d:\\w\\\\\" CV_I=\"Zava\" ");
}

TEST(Options, UsageErrorsLetThePassFinish) {
    for (const wchar_t* arguments : {L"/log x", L"/extract x", L"/temp x", L"-log x"}) {
        Pass pass(arguments);
        EXPECT_EQ(pass.out.result, kUsageError) << "arguments: " << arguments;
        EXPECT_TRUE(pass.out.logPath.empty());
        EXPECT_EQ(pass.out.logLines.size(), 2u);  // still composes and logs the arguments
    }
    auto helpLines = [](const Pass& pass) {
        return std::count(pass.out.logLines.begin(), pass.out.logLines.end(), L"Ask for help\n");
    };
    Pass prefixed(L"/?");
    EXPECT_EQ(prefixed.out.result, kUsageError);
    EXPECT_EQ(helpLines(prefixed), 2);
    Pass plain(L"?");
    EXPECT_EQ(plain.out.result, kUsageError);
    EXPECT_EQ(helpLines(plain), 1);
}

TEST(Options, PathsBeyondThePathLimitAreUsageErrorsNeverCut) {
    std::wstring longName(300, L'a');
    Pass pass(L"log " + longName + L" temp " + longName);
    EXPECT_EQ(pass.out.result, kUsageError);
    EXPECT_TRUE(pass.out.logPath.empty());
    EXPECT_EQ(pass.out.workingFolderRoot, L"C:");
    EXPECT_EQ(pass.out.logLines.front().rfind(L"Path given to log is too long", 0), 0u);
}

TEST(Options, WizardReceivesExactlyTheWordsTheUserGave) {
    Pass pass(L"\"INSTALLDIR=C:\\Program Files\\X\" \"NOTE=say \\\"hi\\\"\" \"\" temp \"d:\\a b\\\\\" "
              L"extract \\ /\"odd flag\"");
    std::vector<std::wstring> words = pass.WizardWords();
    auto has = [&](const std::wstring& word) { return std::find(words.begin(), words.end(), word) != words.end(); };
    EXPECT_TRUE(has(L"INSTALLDIR=C:\\Program Files\\X"));
    EXPECT_TRUE(has(L"NOTE=say \"hi\""));
    EXPECT_TRUE(has(L""));
    EXPECT_TRUE(has(L"d:\\a b\\"));
    EXPECT_TRUE(has(L"C:\\Work\\\\"));
    EXPECT_TRUE(has(L"/odd flag"));
    EXPECT_EQ(words.back(), L"CV_I=Zava");
    EXPECT_EQ(words.size(), 9u);
}

TEST(Options, ProgramNameWithQuotesStaysOneProperty) {
    CCommandLineInfoEx info;
    std::wstring text;
    info.BuildWizardArguments(L"Gear \"Rack\" Tools", text);
    EXPECT_EQ(SplitCommandLine(L"w " + text), (std::vector<std::wstring>{L"w", L"CV_I=Gear \"Rack\" Tools"}));
}

// The command line is read once; the second pass composes from what the first read, with
// the program name known by then, and writes what a fresh reading would have written.
TEST(Options, TheSecondPassComposesFromTheOneReading) {
    const std::wstring arguments = L"/keep /dontrun log l.txt temp d:\\w\\ extract . x /?";
    CCommandLineInfoEx info;
    ParseCommandLine(info, L"GearRackInstaller.exe " + arguments);
    OptionsOutcome read = ReadOptions(info, Pass::AdminFacts(), FakeFullPath);
    OptionsOutcome first = ComposeOptionsPass(info, read, L"");
    OptionsOutcome second = ComposeOptionsPass(info, read, L"Zava");
    Pass fresh(arguments);  // what reading the command line again gives
    for (const OptionsOutcome* pass : {&second, &fresh.out}) {
        EXPECT_EQ(pass->result, kUsageError);
        EXPECT_FALSE(pass->removeFolder);
        EXPECT_FALSE(pass->runWizard);
        EXPECT_EQ(pass->logPath, L"C:\\Work\\l.txt");
        EXPECT_EQ(pass->workingFolderRoot, L"d:\\w\\");
    }
    EXPECT_EQ(second.wizardArguments, fresh.out.wizardArguments);
    EXPECT_EQ(second.logLines, fresh.out.logLines);
    EXPECT_EQ(first.wizardArguments.substr(first.wizardArguments.size() - 8), L"CV_I=\"\" ");
    EXPECT_EQ(second.wizardArguments.substr(0, first.wizardArguments.size() - 3),
              first.wizardArguments.substr(0, first.wizardArguments.size() - 3));
}

}  // namespace
}  // namespace gr
