#include "ui/splash_win.h"

#include "res/resource_ids.h"

namespace gr {
namespace {

constexpr INT_PTR kDismissed = 5;  // the code the splash ends with

}  // namespace

SplashDlg::SplashDlg(HWND parent, HINSTANCE module)
    : CDialog(IDD_SPLASH, parent, module),
      icon_(static_cast<HICON>(
          ::LoadImageW(Module(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE))) {}

bool SplashDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SendMessageW(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
    ::SendMessageW(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.Get()));
    return true;
}

void SplashDlg::Show() {
    if (IsOpen()) ::ShowWindow(Window(), SW_SHOW);
}

void SplashDlg::Hide() {
    if (IsOpen()) ::ShowWindow(Window(), SW_HIDE);
}

void SplashDlg::Dismiss() {
    if (IsOpen()) EndDialog(kDismissed);
}

}  // namespace gr
