#include "wizard/page_flow.h"

#include <gtest/gtest.h>

#include "wizard/exit_codes.h"

namespace wiz {
namespace {

void ExpectButtons(const PageFlow& flow, bool back, bool next, bool cancel, NextCaption caption) {
    Buttons buttons = flow.Available();
    EXPECT_EQ(buttons.back, back) << PageName(flow.Current());
    EXPECT_EQ(buttons.next, next) << PageName(flow.Current());
    EXPECT_EQ(buttons.cancel, cancel) << PageName(flow.Current());
    EXPECT_EQ(buttons.caption, caption) << PageName(flow.Current());
}

// A flow on the folder page, the licence accepted.
PageFlow AtFolder() {
    PageFlow flow;
    flow.PressNext();
    flow.SetAccepted(true);
    flow.PressNext();
    return flow;
}

TEST(WizardPageFlow, ForwardThroughEveryPageToASuccessfulEnd) {
    PageFlow flow;
    EXPECT_EQ(flow.Current(), Page::Welcome);
    ExpectButtons(flow, false, true, true, NextCaption::Next);
    EXPECT_EQ(flow.PressNext(), Action::Moved);
    EXPECT_EQ(flow.Current(), Page::Licence);
    ExpectButtons(flow, true, false, true, NextCaption::Next);
    EXPECT_EQ(flow.PressNext(), Action::None);  // not accepted yet
    EXPECT_EQ(flow.Current(), Page::Licence);
    flow.SetAccepted(true);
    ExpectButtons(flow, true, true, true, NextCaption::Next);
    EXPECT_EQ(flow.PressNext(), Action::Moved);
    EXPECT_EQ(flow.Current(), Page::Folder);
    ExpectButtons(flow, true, true, true, NextCaption::Install);
    EXPECT_EQ(flow.PressNext(), Action::StartInstall);
    EXPECT_EQ(flow.Current(), Page::Progress);
    EXPECT_EQ(flow.Install(), InstallState::Running);
    ExpectButtons(flow, false, false, false, NextCaption::Finish);
    flow.InstallEnded(true);
    ExpectButtons(flow, false, true, false, NextCaption::Finish);
    EXPECT_EQ(flow.PressNext(), Action::End);
    EXPECT_EQ(flow.ExitCode(), kSucceeded);
}

TEST(WizardPageFlow, BackKeepsTheAcceptanceAndStopsAtTheWelcome) {
    PageFlow flow = AtFolder();
    EXPECT_EQ(flow.PressBack(), Action::Moved);
    EXPECT_EQ(flow.Current(), Page::Licence);
    EXPECT_TRUE(flow.Accepted());
    EXPECT_EQ(flow.PressBack(), Action::Moved);
    EXPECT_EQ(flow.Current(), Page::Welcome);
    EXPECT_EQ(flow.PressBack(), Action::None);
    EXPECT_EQ(flow.Current(), Page::Welcome);
}

TEST(WizardPageFlow, CancelBeforeTheInstallIsCancelledOnEveryPage) {
    PageFlow flow;
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(flow.PressCancel(), Action::End);
        EXPECT_EQ(flow.ExitCode(), kCancelled);
        flow.SetAccepted(true);
        flow.PressNext();
    }
    EXPECT_EQ(flow.Current(), Page::Progress);
}

TEST(WizardPageFlow, NothingWorksWhileInstallingAndAFailureEndsAsFailed) {
    PageFlow flow = AtFolder();
    flow.PressNext();
    EXPECT_EQ(flow.PressCancel(), Action::None);
    EXPECT_EQ(flow.PressBack(), Action::None);
    EXPECT_EQ(flow.PressNext(), Action::None);
    EXPECT_EQ(flow.Current(), Page::Progress);
    flow.InstallEnded(false);
    ExpectButtons(flow, false, true, false, NextCaption::Close);
    EXPECT_EQ(flow.ExitCode(), kFailed);
    EXPECT_EQ(flow.PressBack(), Action::None);
    EXPECT_EQ(flow.PressCancel(), Action::End);  // closing the window ends like Close
    EXPECT_EQ(flow.ExitCode(), kFailed);
    flow.InstallEnded(true);  // only a running install ends
    EXPECT_EQ(flow.ExitCode(), kFailed);
}

TEST(WizardPageFlow, AnInstallEndsOnlyOnceStarted) {
    PageFlow flow = AtFolder();
    flow.InstallEnded(true);
    EXPECT_EQ(flow.Install(), InstallState::NotStarted);
    EXPECT_EQ(flow.ExitCode(), kCancelled);
}

}  // namespace
}  // namespace wiz
