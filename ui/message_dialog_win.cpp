#include "ui/message_dialog_win.h"

#include "base/format.h"
#include "framework/handles_win.h"
#include "framework/string_table_win.h"
#include "res/resource_ids.h"
#include "ui/about_dialog_win.h"
#include "ui/message_dialog.h"

#include <utility>

namespace gr {

CGearRackInstallerDlg::CGearRackInstallerDlg(std::wstring product, bool questionMode, HWND parent, HINSTANCE module)
    : CDialog(IDD_MESSAGE, parent, module),
      product_(std::move(product)),
      icon_(static_cast<HICON>(
          ::LoadImageW(Module(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE))),
      questionMode_(questionMode) {}

void CGearRackInstallerDlg::DoDataExchange(bool save) {
    CDialog::DoDataExchange(save);
    heading_.Attach(Control(IDC_HEADING));
    Exchange(save, IDC_MESSAGE, message);
    Exchange(save, IDC_HEADING, heading);
    link_.Attach(Control(IDC_LINK));
    Exchange(save, IDC_LINK, link);
}

bool CGearRackInstallerDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AppendAboutEntry();
    ::SendMessageW(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
    ::SendMessageW(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.Get()));
    SetTitle(product_);
    DialogButtons buttons = ButtonsFor(questionMode_);
    if (buttons.okLabel) SetControlText(IDOK, buttons.okLabel);
    if (buttons.cancelLabel) SetControlText(IDCANCEL, buttons.cancelLabel);
    if (!buttons.showOk) ::ShowWindow(Control(IDOK), SW_HIDE);
    return true;
}

void CGearRackInstallerDlg::AppendAboutEntry() {
    HMENU menu = ::GetSystemMenu(Window(), FALSE);
    if (!menu) return;
    std::wstring entry = Format(LoadStringResource(Module(), IDS_ABOUT_MENU), product_);
    if (entry.empty()) return;
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kAboutCommand, entry.c_str());
}

bool CGearRackInstallerDlg::OnMessage(UINT code, WPARAM wParam, LPARAM, INT_PTR& result) {
    switch (code) {
    case WM_SYSCOMMAND:
        if (!IsAboutCommand(static_cast<uint32_t>(wParam))) return false;
        CAboutDlg(product_, Window(), Module()).DoModal();
        result = TRUE;
        return true;
    case WM_PAINT:
        result = TRUE;
        return PaintMinimised();
    case WM_QUERYDRAGICON:  // answered directly, as a dialog answers this message
        result = reinterpret_cast<INT_PTR>(icon_.Get());
        return true;
    default:
        return false;
    }
}

bool CGearRackInstallerDlg::PaintMinimised() {
    if (!::IsIconic(Window())) return false;
    PaintDc dc(Window());
    ::SendMessageW(Window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    RECT client = {};
    ::GetClientRect(Window(), &client);
    IconOrigin at = MinimisedIconOrigin(client.right, client.bottom, ::GetSystemMetrics(SM_CXICON),
                                        ::GetSystemMetrics(SM_CYICON));
    ::DrawIcon(dc.Get(), at.x, at.y, icon_.Get());
    return true;
}

}  // namespace gr
