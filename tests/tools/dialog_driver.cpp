// dialog_driver.exe <command> <title> ...
// Drives the dialogs of another program in the same Windows session, for the end-to-end
// tests. Every command but the last two first waits, by bounded polling, for a visible
// top-level window whose title is exactly <title>, then acts on it:
//   wait <title> [seconds]             prints the window and its controls (default 30 s;
//                                      the other commands wait up to 10 s)
//   set <title> <id> <text>            sets control <id>'s text (WM_SETTEXT)
//   press <title> <id>                 presses button <id> (WM_COMMAND posted to the dialog)
//   close <title>                      posts WM_CLOSE
//   screenshot <title> <file.bmp>      copies the window from the screen into a 24-bit BMP
//   menu <title>                       prints the window's system menu, one item a line:
//                                      "item id=<id> text=<text>" or "separator"
//   syscommand <title> <id>            posts WM_SYSCOMMAND with command <id>
// The last two take the file name of a program (such as setup.exe) instead of a title:
//   windows <program>                  prints the top-level windows, visible or not, of
//                                      the processes of that program, one a line:
//   window=0x<hwnd> visible=<0|1> class=<class> rect=<x>,<y>,<w>,<h> style=0x<style> title=<title>
//   watch <program> <seconds>          prints "watching", waits for the program to start
//                                      and watches its top-level windows until its last
//                                      process ends; then prints each window once as
//                                      `windows` does, as last seen visible if it ever was
// Output is UTF-8, one line per fact; in texts, "\" "\n" "\r" "\t" are written as "\\"
// "\n" "\r" "\t" so that each control stays on one line. `wait` prints
//   window=0x<hwnd> client=<width>x<height> focus=<id of the focused control, 0 for none>
//   id=<id> class=<class> rect=<x>,<y>,<width>,<height> style=0x<style> [sel=<a>,<b>] text=<text>
// (rect in the dialog's client pixels; sel for edit boxes; other rects in screen pixels).
// A time-out prints the titles of the visible windows there are. Exit status: 0 done, 1 no
// such window (or for `watch`, no end of the program) in time, 2 usage, 3 the action failed.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/handles_win.h"
#include "menu_hook.h"

namespace {

constexpr int kTimedOut = 1;
constexpr int kUsage = 2;
constexpr int kFailed = 3;
constexpr DWORD kDefaultWaitMs = 30000;
constexpr DWORD kActionWaitMs = 10000;
constexpr UINT kMessageLimitMs = 5000;  // a hung program fails the command, not the test run

void Print(const std::wstring& line) {
    std::wstring text = line + L"\n";
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
}

std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\\') out += L"\\\\";
        else if (c == L'\n') out += L"\\n";
        else if (c == L'\r') out += L"\\r";
        else if (c == L'\t') out += L"\\t";
        else out += c;
    }
    return out;
}

std::wstring Hex(uintptr_t value) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"0x%08lx", static_cast<unsigned long>(value));
    return buffer;
}

// The text of a window of any process: WM_GETTEXT is carried across processes, with a
// time limit so that a hung program cannot hang the driver.
std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageLimitMs, &length))
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                          kMessageLimitMs, &copied);
    text.resize(copied <= length ? copied : length);
    return text;
}

struct Search {
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    if (!::IsWindowVisible(window) || TextOf(window) != search->title) return TRUE;
    search->found = window;
    return FALSE;
}

// The first visible top-level window titled exactly `title`, polled for up to `limitMs`.
HWND FindDialog(const wchar_t* title, DWORD limitMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        Search search{title, nullptr};
        ::EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (::GetTickCount() - start >= limitMs) return nullptr;
        ::Sleep(50);
    }
}

BOOL CALLBACK ListTitle(HWND window, LPARAM parameter) {
    if (::IsWindowVisible(window)) *reinterpret_cast<std::wstring*>(parameter) += L" \"" + Escaped(TextOf(window)) + L"\"";
    return TRUE;
}

// On a time-out, names the windows there are, to show what the program showed instead.
HWND FindOrReport(const wchar_t* title, DWORD limitMs) {
    HWND window = FindDialog(title, limitMs);
    if (window) return window;
    std::wstring titles;
    ::EnumWindows(ListTitle, reinterpret_cast<LPARAM>(&titles));
    Print(L"timeout: no visible window titled \"" + std::wstring(title) + L"\"; visible:" + titles);
    return nullptr;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM parameter) {
    reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(child);
    return TRUE;
}

std::wstring ControlLine(HWND dialog, HWND control) {
    wchar_t className[64] = L"";
    ::GetClassNameW(control, className, 64);
    RECT rect = {};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    std::wstring line = L"id=" + std::to_wstring(::GetDlgCtrlID(control)) + L" class=" + className +
                        L" rect=" + std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," +
                        std::to_wstring(rect.right - rect.left) + L"," + std::to_wstring(rect.bottom - rect.top) +
                        L" style=" + Hex(static_cast<uint32_t>(::GetWindowLongW(control, GWL_STYLE)));
    DWORD_PTR selection = 0;
    if (::lstrcmpiW(className, L"Edit") == 0 &&
        ::SendMessageTimeoutW(control, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, kMessageLimitMs, &selection))
        line += L" sel=" + std::to_wstring(LOWORD(selection)) + L"," + std::to_wstring(HIWORD(selection));
    return line + L" text=" + Escaped(TextOf(control));
}

int Wait(const wchar_t* title, DWORD limitMs) {
    HWND dialog = FindOrReport(title, limitMs);
    if (!dialog) return kTimedOut;
    RECT client = {};
    ::GetClientRect(dialog, &client);
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    HWND focus = ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &gui) ? gui.hwndFocus : nullptr;
    Print(L"window=" + Hex(reinterpret_cast<uintptr_t>(dialog)) + L" client=" + std::to_wstring(client.right) + L"x" +
          std::to_wstring(client.bottom) + L" focus=" + std::to_wstring(focus ? ::GetDlgCtrlID(focus) : 0));
    std::vector<HWND> children;
    ::EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) Print(ControlLine(dialog, child));
    return 0;
}

int SetText(const wchar_t* title, int id, const wchar_t* text) {
    HWND dialog = FindOrReport(title, kActionWaitMs);
    if (!dialog) return kTimedOut;
    HWND control = ::GetDlgItem(dialog, id);
    DWORD_PTR done = 0;
    if (!control || !::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                                           kMessageLimitMs, &done) || !done) {
        Print(L"failed: cannot set the text of control " + std::to_wstring(id));
        return kFailed;
    }
    Print(L"set id=" + std::to_wstring(id));
    return 0;
}

// Posted, not sent: a button that opens or ends a modal loop must not hold the driver.
int Press(const wchar_t* title, int id) {
    HWND dialog = FindOrReport(title, kActionWaitMs);
    if (!dialog) return kTimedOut;
    HWND button = ::GetDlgItem(dialog, id);
    if (!button || !::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button))) {
        Print(L"failed: no button " + std::to_wstring(id));
        return kFailed;
    }
    Print(L"pressed id=" + std::to_wstring(id));
    return 0;
}

// The ids of the running processes whose program file is named `program`.
std::vector<DWORD> ProcessesOf(const wchar_t* program) {
    std::vector<DWORD> found;
    gr::FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (bool more = snapshot && ::Process32FirstW(snapshot.Get(), &entry); more;
         more = ::Process32NextW(snapshot.Get(), &entry))
        if (::lstrcmpiW(entry.szExeFile, program) == 0) found.push_back(entry.th32ProcessID);
    return found;
}

struct TopLevel {
    HWND window;
    bool visible;
    std::wstring line;  // as `windows` prints it
};

struct Owners {
    std::vector<DWORD> processes;
    std::vector<TopLevel> windows;
};

// The title is read without a message (GetWindowTextW does not send one to another
// process), so that looking does not wake the program and change what it does.
std::wstring TopLevelLine(HWND window, bool visible) {
    wchar_t className[64] = L"", title[256] = L"";
    ::GetClassNameW(window, className, 64);
    ::GetWindowTextW(window, title, 256);
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return L"window=" + Hex(reinterpret_cast<uintptr_t>(window)) + L" visible=" + (visible ? L"1" : L"0") +
           L" class=" + className + L" rect=" + std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," +
           std::to_wstring(rect.right - rect.left) + L"," + std::to_wstring(rect.bottom - rect.top) +
           L" style=" + Hex(static_cast<uint32_t>(::GetWindowLongW(window, GWL_STYLE))) + L" title=" + Escaped(title);
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM parameter) {
    auto* owners = reinterpret_cast<Owners*>(parameter);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    for (DWORD id : owners->processes) {
        if (id != process) continue;
        bool visible = ::IsWindowVisible(window) != FALSE;
        owners->windows.push_back({window, visible, TopLevelLine(window, visible)});
        break;
    }
    return TRUE;
}

Owners TopLevelWindowsOf(const wchar_t* program) {
    Owners owners{ProcessesOf(program), {}};
    if (!owners.processes.empty()) ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&owners));
    return owners;
}

int ListWindows(const wchar_t* program) {
    for (const TopLevel& window : TopLevelWindowsOf(program).windows) Print(window.line);
    return 0;
}

// Prints "watching" at once, waits for a process named `program` to start, then records
// every top-level window of that name's processes until none is left, and prints each
// window once: as it was when last seen visible, or as last seen if it never was.
int Watch(const wchar_t* program, DWORD limitMs) {
    Print(L"watching");
    std::vector<TopLevel> seen;
    bool started = false;
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < limitMs; ::Sleep(5)) {
        Owners owners = TopLevelWindowsOf(program);
        if (owners.processes.empty() && started) {
            for (const TopLevel& window : seen) Print(window.line);
            return 0;
        }
        started = started || !owners.processes.empty();
        for (const TopLevel& now : owners.windows) {
            TopLevel* known = nullptr;
            for (TopLevel& window : seen) known = window.window == now.window ? &window : known;
            if (!known) seen.push_back(now);
            else if (now.visible || !known->visible) *known = now;
        }
    }
    Print(started ? L"timeout: the program still runs" : L"timeout: the program never started");
    return kTimedOut;
}

// Posted, as a press is: the about box that a command may open is modal.
int SysCommand(const wchar_t* title, int id) {
    HWND dialog = FindOrReport(title, kActionWaitMs);
    if (!dialog) return kTimedOut;
    if (!::PostMessageW(dialog, WM_SYSCOMMAND, static_cast<WPARAM>(id), 0)) {
        Print(L"failed: WM_SYSCOMMAND not posted");
        return kFailed;
    }
    Print(L"syscommand id=" + std::to_wstring(id));
    return 0;
}

// Hooks `window`'s thread with menu_hook.dll from `library` and sends the window the
// hook's message, on which the hook, inside the window's process, copies the system menu
// into the memory named after this process.
void ReadInItsProcess(HWND window, const std::wstring& library) {
    gr::Module module(::LoadLibraryW(library.c_str()));
    FARPROC found = module ? ::GetProcAddress(module.Get(), menu_hook::kProcedure) : nullptr;
    if (!found) return;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(found)),
                                     module.Get(), ::GetWindowThreadProcessId(window, nullptr));
    if (!hook) return;
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, ::RegisterWindowMessageW(menu_hook::kReadMessage), ::GetCurrentProcessId(), 0,
                          SMTO_ABORTIFHUNG, kMessageLimitMs, &ignored);
    ::UnhookWindowsHookEx(hook);
}

// A menu can be read only in the process that owns it (see menu_hook.h).
int Menu(const wchar_t* title) {
    HWND dialog = FindOrReport(title, kActionWaitMs);
    if (!dialog) return kTimedOut;
    gr::Handle shared(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(menu_hook::Menu),
                                           menu_hook::SharedName(::GetCurrentProcessId()).c_str()));
    void* view = shared ? ::MapViewOfFile(shared.Get(), FILE_MAP_WRITE, 0, 0, 0) : nullptr;
    if (!view) {
        Print(L"failed: no shared memory, error " + std::to_wstring(::GetLastError()));
        return kFailed;
    }
    auto* menu = static_cast<menu_hook::Menu*>(view);
    menu->count = menu_hook::kNotRead;
    wchar_t path[MAX_PATH];
    std::wstring library(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
    library.replace(library.find_last_of(L'\\') + 1, std::wstring::npos, L"menu_hook.dll");
    ReadInItsProcess(dialog, library);
    LONG count = menu->count;
    for (LONG i = 0; i < count; ++i) {
        const menu_hook::Item& item = menu->items[i];
        Print(item.type & MFT_SEPARATOR ? std::wstring(L"separator")
                                        : L"item id=" + std::to_wstring(item.id) + L" text=" + Escaped(item.text));
    }
    ::UnmapViewOfFile(view);
    if (count >= 0) return 0;
    Print(count == menu_hook::kNoMenu ? L"failed: the window has no system menu"
                                      : L"failed: cannot read the menu in its process with " + library);
    return kFailed;
}

int Close(const wchar_t* title) {
    HWND dialog = FindOrReport(title, kActionWaitMs);
    if (!dialog) return kTimedOut;
    if (!::PostMessageW(dialog, WM_CLOSE, 0, 0)) {
        Print(L"failed: WM_CLOSE not posted");
        return kFailed;
    }
    Print(L"closed");
    return 0;
}

class ScreenDc {
public:
    ScreenDc() : dc_(::GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_) ::ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(::CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (dc_) ::DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// The screen's pixels under `area` as 24-bit rows, bottom row first, each padded to four
// bytes; empty when the copy fails.
std::vector<char> CopyScreen(const RECT& area, BITMAPINFOHEADER& header) {
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    ScreenDc screen;
    MemoryDc memory(screen.Get());
    gr::GdiObject bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    if (!screen.Get() || !memory.Get() || !bitmap) return {};
    HGDIOBJ old = ::SelectObject(memory.Get(), bitmap.Get());
    bool copied = ::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY) != 0;
    ::SelectObject(memory.Get(), old);
    header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    std::vector<char> pixels(header.biSizeImage);
    if (!copied || ::GetDIBits(memory.Get(), static_cast<HBITMAP>(bitmap.Get()), 0, static_cast<UINT>(height),
                               pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) != height)
        return {};
    return pixels;
}

bool WriteBitmap(const wchar_t* path, const BITMAPINFOHEADER& header, const std::vector<char>& pixels) {
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4d42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    gr::FileHandle out(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return out && ::WriteFile(out.Get(), &file, sizeof(file), &written, nullptr) &&
           ::WriteFile(out.Get(), &header, sizeof(header), &written, nullptr) &&
           ::WriteFile(out.Get(), pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr) &&
           written == pixels.size();
}

// Copies the window, frame included, from the screen: another process's window cannot be
// asked to draw into this process's device context.
int Screenshot(const wchar_t* title, const wchar_t* path) {
    HWND dialog = FindOrReport(title, kActionWaitMs);
    if (!dialog) return kTimedOut;
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT area = {};
    ::GetWindowRect(dialog, &area);
    BITMAPINFOHEADER header;
    std::vector<char> pixels = CopyScreen(area, header);
    if (pixels.empty() || !WriteBitmap(path, header, pixels)) {
        Print(L"failed: cannot copy the window to " + std::wstring(path));
        return kFailed;
    }
    Print(L"screenshot " + std::to_wstring(header.biWidth) + L"x" + std::to_wstring(header.biHeight) + L" " + path);
    return 0;
}

// A whole decimal number, or `fallback` for anything else.
long Number(const wchar_t* text, long fallback) {
    wchar_t* end = nullptr;
    long value = std::wcstol(text, &end, 10);
    return (end == text || *end != L'\0') ? fallback : value;
}

int Usage() {
    Print(L"usage: dialog_driver wait|set|press|close|screenshot|menu|syscommand <title> ...");
    Print(L"       dialog_driver windows|watch <program> ...");
    return kUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return Usage();
    std::wstring command = argv[1];
    const wchar_t* title = argv[2];
    if (command == L"wait" && argc <= 4) {
        long seconds = argc == 4 ? Number(argv[3], -1) : static_cast<long>(kDefaultWaitMs / 1000);
        return seconds < 0 ? Usage() : Wait(title, static_cast<DWORD>(seconds) * 1000);
    }
    if ((command == L"set" && argc == 5) || (command == L"press" && argc == 4)) {
        long id = Number(argv[3], -1);
        if (id < 0 || id > 0xffff) return Usage();
        return command == L"set" ? SetText(title, static_cast<int>(id), argv[4]) : Press(title, static_cast<int>(id));
    }
    if (command == L"close" && argc == 3) return Close(title);
    if (command == L"menu" && argc == 3) return Menu(title);
    if (command == L"windows" && argc == 3) return ListWindows(title);
    if (command == L"watch" && argc == 4) {
        long seconds = Number(argv[3], -1);
        return seconds < 0 ? Usage() : Watch(title, static_cast<DWORD>(seconds) * 1000);
    }
    if (command == L"syscommand" && argc == 4) {
        long id = Number(argv[3], -1);
        return id < 0 || id > 0xffff ? Usage() : SysCommand(title, static_cast<int>(id));
    }
    if (command == L"screenshot" && argc == 4) return Screenshot(title, argv[3]);
    return Usage();
}
