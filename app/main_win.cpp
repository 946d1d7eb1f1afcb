// The program's entry point: it protects the DLL search, gives the diagnostic log its file
// on disk, then hands the instance and the command line to the one application object.
#include <windows.h>

#include "app/installer_app_win.h"
#include "framework/dll_safety_win.h"
#include "framework/log_file_win.h"

namespace {
gr::CGearRackInstallerApp theApp;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    gr::RestrictDllSearch();
    gr::InstallDiskLogFile();
    return theApp.Run(instance, ::GetCommandLineW());
}
