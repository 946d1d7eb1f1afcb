// The failure report as the application gives it.
#include "app/failure_report.h"
#include "app/installer_app_win.h"
#include "app/string_table_texts_win.h"
#include "base/log.h"
#include "ui/message_dialog_win.h"

namespace gr {

// Tells the user why the run failed: in the message dialog, or in silent mode in the log.
void CGearRackInstallerApp::ReportFailure(uint32_t result) {
    const std::wstring& product = settings_.Text(Setting::Product);
    FailureFacts facts{product, result, state.wizardExitCode, state.requiredFramework, state.freeSpace, CommandLineText()};
    StringTableTexts texts(Instance());
    FailureReport report = ComposeFailureReport(facts, texts);
    if (state.silent) {
        LogText(report.message);
        LogText(L"\n");
        return;
    }
    CGearRackInstallerDlg dialog(product);
    dialog.message = report.message;
    dialog.link = report.link;
    dialog.DoModal();
}

}  // namespace gr
