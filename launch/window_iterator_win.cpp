#include "launch/window_iterator_win.h"

namespace gr {

CWindowIterator::CWindowIterator(size_t capacity) : capacity_(capacity) { windows_.reserve(capacity); }

HWND CWindowIterator::FirstWindow() {
    windows_.clear();
    ::EnumWindows(OnWindow, reinterpret_cast<LPARAM>(this));
    cursor_ = 0;
    return NextWindow();
}

HWND CWindowIterator::NextWindow() { return cursor_ < windows_.size() ? windows_[cursor_++] : nullptr; }

BOOL CWindowIterator::AddWindow(HWND window) {
    if (WantsWindow(window) && windows_.size() < capacity_) windows_.push_back(window);
    return TRUE;
}

bool CWindowIterator::WantsWindow(HWND) { return true; }

BOOL CALLBACK CWindowIterator::OnWindow(HWND window, LPARAM iterator) {
    return reinterpret_cast<CWindowIterator*>(iterator)->AddWindow(window);
}

CMainWindowIterator::CMainWindowIterator(DWORD processId, bool visibleOnly, size_t capacity)
    : CWindowIterator(capacity), processId_(processId), visibleOnly_(visibleOnly) {}

bool CMainWindowIterator::WantsWindow(HWND window) {
    if (visibleOnly_ && !(static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)) & WS_VISIBLE)) return false;
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    return owner == processId_;
}

HWND FindVisibleWindow(DWORD processId) {
    CMainWindowIterator iterator(processId, true, 1024);
    return iterator.FirstWindow();
}

}  // namespace gr
