// The interactive wizard's pages and buttons, without any window: which page shows, which
// buttons work there, and what pressing each one does.
//   Welcome -> Licence (Next works once the licence is accepted) -> Folder (Next reads
//   "Install") -> Progress (no button while installing; then Finish, or Close on failure)
// Cancel leaves with "cancelled" on every page before the install, never during it; after
// it, Cancel or closing the window ends like Finish.
#pragma once

namespace wiz {

enum class Page { Welcome, Licence, Folder, Progress };
enum class NextCaption { Next, Install, Finish, Close };
enum class InstallState { NotStarted, Running, Succeeded, Failed };

struct Buttons {
    bool back;
    bool next;
    bool cancel;
    NextCaption caption;
};

enum class Action {
    None,          // the button does not work now
    Moved,         // another page shows
    StartInstall,  // the progress page shows: install now, then call InstallEnded
    End,           // the wizard ends with ExitCode()
};

// "welcome", "licence", "folder" or "progress", for the log.
const wchar_t* PageName(Page page);

class PageFlow {
public:
    Page Current() const { return page_; }
    InstallState Install() const { return install_; }
    bool Accepted() const { return accepted_; }
    Buttons Available() const;

    void SetAccepted(bool accepted) { accepted_ = accepted; }
    Action PressNext();
    Action PressBack();
    Action PressCancel();
    void InstallEnded(bool succeeded);
    // 0 after a successful install, 1603 after a failed one, 1602 (cancelled) before.
    int ExitCode() const;

private:
    Page page_ = Page::Welcome;
    InstallState install_ = InstallState::NotStarted;
    bool accepted_ = false;
};

}  // namespace wiz
