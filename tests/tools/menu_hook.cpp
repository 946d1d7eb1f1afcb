// menu_hook.dll: loaded into another program by dialog_driver.exe's `menu` command (see
// menu_hook.h). When the window gets the driver's message, the hook copies the window's
// system menu into the driver's shared memory; every other message passes untouched.
#include "menu_hook.h"

extern "C" __declspec(dllexport) LRESULT CALLBACK ReadSystemMenuHook(int code, WPARAM wParam, LPARAM lParam);

namespace {

void CopySystemMenu(HWND window, DWORD driverProcess) {
    HANDLE shared = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, menu_hook::SharedName(driverProcess).c_str());
    if (!shared) return;
    auto* menu = static_cast<menu_hook::Menu*>(::MapViewOfFile(shared, FILE_MAP_WRITE, 0, 0, sizeof(menu_hook::Menu)));
    if (menu) {
        HMENU system = ::GetSystemMenu(window, FALSE);
        int count = system ? ::GetMenuItemCount(system) : -1;
        if (count > menu_hook::kMaxItems) count = menu_hook::kMaxItems;
        for (int i = 0; i < count; ++i) {
            menu_hook::Item& item = menu->items[i];
            MENUITEMINFOW info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
            info.dwTypeData = item.text;
            info.cch = menu_hook::kTextLength;
            if (::GetMenuItemInfoW(system, static_cast<UINT>(i), TRUE, &info)) {
                item.id = info.wID;
                item.type = info.fType;
            }
        }
        menu->count = count < 0 ? menu_hook::kNoMenu : count;
        ::UnmapViewOfFile(menu);
    }
    ::CloseHandle(shared);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ReadSystemMenuHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent && sent->message == ::RegisterWindowMessageW(menu_hook::kReadMessage))
        CopySystemMenu(sent->hwnd, static_cast<DWORD>(sent->wParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
