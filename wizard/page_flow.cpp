#include "wizard/page_flow.h"

#include "wizard/exit_codes.h"

namespace wiz {

const wchar_t* PageName(Page page) {
    switch (page) {
    case Page::Welcome:
        return L"welcome";
    case Page::Licence:
        return L"licence";
    case Page::Folder:
        return L"folder";
    case Page::Progress:
        break;
    }
    return L"progress";
}

Buttons PageFlow::Available() const {
    switch (page_) {
    case Page::Welcome:
        return {false, true, true, NextCaption::Next};
    case Page::Licence:
        return {true, accepted_, true, NextCaption::Next};
    case Page::Folder:
        return {true, true, true, NextCaption::Install};
    case Page::Progress:
        break;
    }
    bool ended = install_ == InstallState::Succeeded || install_ == InstallState::Failed;
    return {false, ended, false, install_ == InstallState::Failed ? NextCaption::Close : NextCaption::Finish};
}

Action PageFlow::PressNext() {
    if (!Available().next) return Action::None;
    switch (page_) {
    case Page::Welcome:
        page_ = Page::Licence;
        return Action::Moved;
    case Page::Licence:
        page_ = Page::Folder;
        return Action::Moved;
    case Page::Folder:
        page_ = Page::Progress;
        install_ = InstallState::Running;
        return Action::StartInstall;
    case Page::Progress:
        break;
    }
    return Action::End;
}

Action PageFlow::PressBack() {
    if (!Available().back) return Action::None;
    page_ = page_ == Page::Folder ? Page::Licence : Page::Welcome;
    return Action::Moved;
}

Action PageFlow::PressCancel() {
    return install_ == InstallState::Running ? Action::None : Action::End;
}

void PageFlow::InstallEnded(bool succeeded) {
    if (install_ == InstallState::Running) install_ = succeeded ? InstallState::Succeeded : InstallState::Failed;
}

int PageFlow::ExitCode() const {
    switch (install_) {
    case InstallState::Succeeded:
        return kSucceeded;
    case InstallState::Failed:
        return kFailed;
    case InstallState::NotStarted:
    case InstallState::Running:
        break;
    }
    return kCancelled;
}

}  // namespace wiz
