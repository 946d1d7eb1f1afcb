#include "app/failure_report.h"

#include <gtest/gtest.h>

#include <map>

namespace gr {
namespace {

class ShippedTexts : public TextSource {
public:
    std::wstring Text(unsigned entry) const override {
        static const std::map<unsigned, std::wstring> texts = {
            {0, L"AnyCPU"},
            {102, L"Insufficient disk space on drive '%s'. %ld Mb of free disk space is required."},
            {104, L"Contact Technical Support. Incorrect %s build."},
            {108, L"%s requires %s. Please download from the Microsoft Download Center and retry."},
            {109, L"You need local administrator privileges to run %s."},
            {110, L"%s requires MSI Engine 2.0. This can be downloaded from the Microsoft Download Center."},
            {111, L"A file is corrupt. Download %s and retry."},
            {112, L"%s failed with exit code 0x%8x."},
            {113, L"Failed to run %s error 0x%8x."},
            {114, L"Command line '%s' incorrect."},
            {115, L"%s requires %s SP %d. Please download from the Microsoft Download Center and retry."},
            {135, L"%s failed to switch into processor mode (%s)"},
        };
        auto found = texts.find(entry);
        return found == texts.end() ? std::wstring() : found->second;
    }
};

FailureReport Report(uint32_t result, uint32_t exitCode = 0, RequiredFramework framework = {}) {
    FailureFacts facts;
    facts.product = L"Oakcrest";  // given, not read from the texts
    facts.result = result;
    facts.wizardExitCode = exitCode;
    facts.requiredFramework = framework;
    facts.freeSpace.drive = L"D:";
    facts.freeSpace.requiredMegabytes = 500;
    facts.commandLineText = L"/bad \"x y\"";
    return ComposeFailureReport(facts, ShippedTexts());
}

TEST(FailureReport, OnlyFailuresAreReportedAndTheProgramsOwnFailureIsTheExitCode) {
    EXPECT_FALSE(NeedsReport(0, 0));
    EXPECT_FALSE(NeedsReport(1, 0));
    EXPECT_TRUE(NeedsReport(1, 5));
    EXPECT_TRUE(NeedsReport(0x80004005, 0));
    // A wizard that installed and asks for a restart (or began one) has succeeded: one log
    // line, no report; its neighbours are still failures.
    for (uint32_t restart : {3010u, 3011u, 1641u}) {
        EXPECT_FALSE(NeedsReport(0, restart)) << restart;
        EXPECT_EQ(RestartNotice(0, restart),
                  L"The wizard finished; a restart is needed (exit code " + std::to_wstring(restart) + L")\n");
        EXPECT_EQ(ProcessExitCode(0, restart), restart);
        EXPECT_TRUE(RestartNotice(0x80004005, restart).empty());
    }
    for (uint32_t other : {3009u, 3012u, 1640u, 1642u, 0u, 5u}) {
        EXPECT_EQ(NeedsReport(0, other), other != 0) << other;
        EXPECT_TRUE(RestartNotice(0, other).empty()) << other;
    }
    EXPECT_EQ(ProcessExitCode(0, 0), 0u);
    EXPECT_EQ(ProcessExitCode(0, 5), 5u);             // the wizard's own failure
    EXPECT_EQ(ProcessExitCode(0x80070008, 0), 0x80070008u);  // the run could not be set up
    EXPECT_EQ(ProcessExitCode(0x80070006, 7), 0x80070006u);  // the wait failed after the wizard
    EXPECT_EQ(ProcessExitCode(1, 0), 1u);
}

TEST(FailureReport, EachResultCodeHasItsMessage) {
    EXPECT_EQ(Report(0x80030057).message, L"Command line '/bad \"x y\"' incorrect.");
    EXPECT_EQ(Report(0x80110413).message, L"You need local administrator privileges to run Oakcrest.");
    EXPECT_EQ(Report(0x80030070).message,
              L"Insufficient disk space on drive 'D:'. 500 Mb of free disk space is required.");
    EXPECT_EQ(Report(1613).message,
              L"Oakcrest requires MSI Engine 2.0. This can be downloaded from the Microsoft Download Center.");
    EXPECT_EQ(Report(0x80004004).message, L"Oakcrest failed to switch into processor mode (AnyCPU)");
    EXPECT_EQ(Report(0x80004005).message, L"Contact Technical Support. Incorrect Oakcrest build.");
    EXPECT_EQ(Report(0x80040167).message, L"A file is corrupt. Download Oakcrest and retry.");
    EXPECT_EQ(Report(0x800b0100).message, L"Failed to run Oakcrest error 0x800b0100.");
    EXPECT_EQ(Report(0x80070057).message, L"Failed to run Oakcrest error 0x80070057.");
    EXPECT_EQ(Report(1).message, L"Failed to run Oakcrest error 0x       1.");
    EXPECT_TRUE(Report(0x80004005).link.empty());
}

TEST(FailureReport, WizardExitCodesArePaddedToEightPlaces) {
    EXPECT_EQ(Report(0, 5).message, L"Oakcrest failed with exit code 0x       5.");
    EXPECT_EQ(Report(0, 1602).message, L"Oakcrest failed with exit code 0x     642.");
    EXPECT_EQ(Report(0, 0x80131700).message,
              L"Oakcrest requires .NET 2. Please download from the Microsoft Download Center and retry.\r\n"
              L"(.NET 4 was detected.)");
    EXPECT_TRUE(Report(0, 0x80131700).link.empty());
}

TEST(FailureReport, AMissingFrameworkNamesItsPage) {
    RequiredFramework full40{L".NET (full) 4.0", 0, 4};
    FailureReport report = Report(0x80110409, 0, full40);
    EXPECT_EQ(report.message,
              L"Oakcrest requires .NET (full) 4.0. Please download from the Microsoft Download Center and retry.");
    EXPECT_EQ(report.link, L"https://www.microsoft.com/en-us/download/details.aspx?id=17718");
    full40.servicePack = 1;
    report = Report(0x80110409, 0, full40);
    EXPECT_EQ(report.message, L"Oakcrest requires .NET (full) 4.0 SP 1. Please download from the Microsoft "
                              L"Download Center and retry.");
    EXPECT_EQ(report.link, L"https://www.microsoft.com/en-gb/download/details.aspx?id=30653");
    EXPECT_EQ(FrameworkDownloadLink({L".NET 2", 3, 2}), L"https://www.microsoft.com/en-us/download/details.aspx?id=16614");
    EXPECT_EQ(FrameworkDownloadLink({L".NET 3.5", 0, 3}), L"https://www.microsoft.com/en-us/download/details.aspx?id=21");
    EXPECT_EQ(FrameworkDownloadLink({L"?", 0, 5}), L"");
    EXPECT_EQ(FrameworkDownloadLink({L"?", -1, 4}), L"https://www.microsoft.com/en-us/download/details.aspx?id=17718");
}

}  // namespace
}  // namespace gr
