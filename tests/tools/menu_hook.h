// What dialog_driver.exe and menu_hook.dll share. A window's system menu can be read only
// inside the process that owns the window (Wine keeps menus per process), so the driver
// hooks the window's thread with menu_hook.dll, sends the window kReadMessage with its own
// process id, and the hook copies the menu into the shared memory named by SharedName.
#pragma once

#include <windows.h>

#include <string>

namespace menu_hook {

constexpr wchar_t kReadMessage[] = L"GearRackDriverReadSystemMenu";  // registered message
constexpr char kProcedure[] = "ReadSystemMenuHook";                 // a WH_CALLWNDPROC hook
constexpr int kMaxItems = 64;
constexpr int kTextLength = 256;
constexpr LONG kNotRead = -2;  // the hook never ran
constexpr LONG kNoMenu = -1;   // the window has no system menu

struct Item {
    UINT id;
    UINT type;  // MFT_ flags: MFT_SEPARATOR for a separator
    wchar_t text[kTextLength];
};

struct Menu {
    LONG count;  // items filled in, or kNotRead / kNoMenu
    Item items[kMaxItems];
};

inline std::wstring SharedName(DWORD driverProcess) {
    return L"GearRackDriverMenu" + std::to_wstring(driverProcess);
}

}  // namespace menu_hook
