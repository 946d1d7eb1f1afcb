// Collecting top-level windows: every one, or only the visible ones of one process.
#pragma once

#include <windows.h>

#include <vector>

namespace gr {

class CWindowIterator {
public:
    // Keeps at most `capacity` windows; further matches are dropped.
    explicit CWindowIterator(size_t capacity);
    virtual ~CWindowIterator() = default;

    // Collects the top-level windows this iterator wants; returns the first, or null.
    HWND FirstWindow();
    // The next collected window, or null after the last.
    HWND NextWindow();

protected:
    // Stores `window` when wanted and there is room; always lets the enumeration go on.
    virtual BOOL AddWindow(HWND window);
    virtual bool WantsWindow(HWND window);

private:
    static BOOL CALLBACK OnWindow(HWND window, LPARAM iterator);

    std::vector<HWND> windows_;
    size_t capacity_;
    size_t cursor_ = 0;
};

class CMainWindowIterator : public CWindowIterator {
public:
    CMainWindowIterator(DWORD processId, bool visibleOnly, size_t capacity = 1024);

protected:
    bool WantsWindow(HWND window) override;

private:
    DWORD processId_;
    bool visibleOnly_;
};

// A visible top-level window of process `processId`, or null.
HWND FindVisibleWindow(DWORD processId);

}  // namespace gr
