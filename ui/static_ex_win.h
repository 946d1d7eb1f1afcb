// The message dialog's heading: a static text drawn in bold on a transparent background.
#pragma once

#include <windows.h>

#include "framework/dialog_win.h"
#include "framework/handles_win.h"

namespace gr {

class CStaticEx : public CStatic {
public:
    // Creates the bold font: Tahoma, weight 700, cell height 14 logical units.
    CStaticEx();

    // WM_CTLCOLORSTATIC: selects the bold font into the control's device context, draws
    // the text transparently and answers the hollow brush; the text colour stays.
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    // Makes the bold font the control's own too: a static that selects its own font after
    // asking for its colours (as Wine's does) then still draws in bold.
    void OnAttach() override;

private:
    GdiObject font_;
};

}  // namespace gr
