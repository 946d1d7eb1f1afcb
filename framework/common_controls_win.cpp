#include "framework/common_controls_win.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/dll_safety_win.h"

namespace gr {
namespace {

Module commonControls;  // released at process end, after the last dialog
// The drawing library the controls pull in when they paint bitmaps: loaded from the system
// folder before any window exists, so that no later load by name can find another copy.
Module drawingLibrary;

}  // namespace

void RegisterCommonControls() {
    if (!drawingLibrary) drawingLibrary = LoadSystemLibrary(L"msimg32.dll");
    if (!commonControls) commonControls = LoadSystemLibrary(L"comctl32.dll");
    if (!commonControls) return;
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = reinterpret_cast<InitFn>(
        reinterpret_cast<void*>(::GetProcAddress(commonControls.Get(), "InitCommonControlsEx")));
    if (!init) return;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    init(&controls);
}

}  // namespace gr
