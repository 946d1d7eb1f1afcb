// The wizard dialog's state and its pages: filling the controls, showing the current
// page's controls only, and setting the buttons as PageFlow says.
#pragma once

#include <windows.h>

#include <string>

#include "wizard/dialog_paint_win.h"
#include "wizard/page_flow.h"
#include "wizard/wizard_dialog_win.h"

namespace wiz {

struct DialogState {
    DialogState(HINSTANCE module, const WizardSession& started, const WizardLog& wizardLog)
        : instance(module), session(started), log(wizardLog) {}

    HINSTANCE instance;
    WizardSession session;
    const WizardLog& log;
    PageFlow flow;
    std::wstring title;
    RECT band = {};   // behind the heading
    int percent = 0;  // of the progress bar
    int loggedPage = -1;  // the page the log last named
    GdiObject headingFont;
};

// Fills the controls and shows the first page; for WM_INITDIALOG.
void InitPages(HWND dialog, DialogState& state);

// Shows the current page's controls, heading and buttons.
void ShowPage(HWND dialog, DialogState& state);

// Sets the buttons as the flow says and keeps the focus on a control that works.
void UpdateButtons(HWND dialog, const DialogState& state);

void SetProgress(HWND dialog, DialogState& state, int percent);

std::wstring ControlText(HWND dialog, int id);

}  // namespace wiz
