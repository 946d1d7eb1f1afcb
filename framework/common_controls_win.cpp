#include "framework/common_controls_win.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/dll_safety_win.h"

namespace gr {
namespace {

Module commonControls;  // released at process end, after the last dialog

}  // namespace

void RegisterCommonControls() {
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
