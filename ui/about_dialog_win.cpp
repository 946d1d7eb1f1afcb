#include "ui/about_dialog_win.h"

#include <string>
#include <utility>

#include "base/format.h"
#include "framework/ansi_win.h"
#include "framework/string_table_win.h"
#include "res/resource_ids.h"

namespace gr {
namespace {

// Narrow on purpose: its © (0xA9) and en dash (0x96) are read in the thread's ANSI code
// page, so a system with another code page shows that page's characters there.
constexpr char kNotice[] = "\xA9 2024\x96" "2026 GearRack. All rights reserved.";

}  // namespace

CAboutDlg::CAboutDlg(std::wstring product, HWND parent, HINSTANCE module)
    : CDialog(IDD_ABOUTBOX, parent, module), product_(std::move(product)) {}

bool CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetTitle(Format(LoadStringResource(Module(), IDS_ABOUT_CAPTION), product_));
    SetControlText(IDC_ABOUT_VERSION,
                   Format(LoadStringResource(Module(), IDS_ABOUT_VERSION), product_, GEARRACK_VERSION_MAJOR,
                          GEARRACK_VERSION_MINOR, GEARRACK_VERSION_BUILD, GEARRACK_VERSION_REVISION));
    SetControlText(IDC_ABOUT_NOTICE, FromAnsi(std::string_view(kNotice, sizeof(kNotice) - 1)));
    return true;
}

}  // namespace gr
