// The failure report as the application gives it.
#include "app/failure_report.h"
#include "app/installer_app_win.h"
#include "app/log.h"
#include "framework/string_table_win.h"
#include "ui/message_dialog_win.h"

namespace gr {
namespace {

// The program's texts from its own string table.
class StringTableTexts : public TextSource {
public:
    explicit StringTableTexts(HINSTANCE module) : module_(module) {}
    std::wstring Text(unsigned entry) const override { return LoadStringResource(module_, entry); }

private:
    HINSTANCE module_;
};

}  // namespace

// Tells the user why the run failed: in the message dialog, or in silent mode in the log.
void CGearRackInstallerApp::ReportFailure(uint32_t result) {
    FailureFacts facts{result, state.wizardExitCode, state.requiredFramework, state.freeSpace, CommandLineText()};
    StringTableTexts texts(Instance());
    FailureReport report = ComposeFailureReport(facts, texts);
    if (state.silent) {
        LogText(report.message);
        LogText(L"\n");
        return;
    }
    CGearRackInstallerDlg dialog;
    dialog.message = report.message;
    dialog.link = report.link;
    dialog.DoModal();
}

}  // namespace gr
