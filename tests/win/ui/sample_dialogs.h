// What the user-interface tests share: the sample program's resources (the test program
// carries none of its own), a modal run on a worker thread while the test plays the user,
// and bounded waits for that thread's windows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/dialog_win.h"
#include "framework/handles_win.h"

namespace gr::testing {

constexpr DWORD kLimitMs = 10000;

inline std::wstring TextOf(HWND window) {
    wchar_t text[256] = L"";
    ::GetWindowTextW(window, text, 256);
    return text;
}

// The visible window of `thread` titled `title`, polled for; null when none came in time.
inline HWND WaitForWindow(DWORD thread, const std::wstring& title) {
    struct Search {
        const std::wstring& title;
        HWND found = nullptr;
        static BOOL CALLBACK Match(HWND window, LPARAM self) {
            auto* search = reinterpret_cast<Search*>(self);
            if (::IsWindowVisible(window) && TextOf(window) == search->title) search->found = window;
            return !search->found;
        }
    } search{title};
    for (DWORD start = ::GetTickCount(); !search.found && ::GetTickCount() - start < kLimitMs; ::Sleep(10))
        ::EnumThreadWindows(thread, Search::Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline void Press(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// `dialog`'s DoModal on a thread of its own. What a failed test left open is closed at the
// end, nested windows first, so that the thread never outlives the dialog object.
class ModalRun {
public:
    explicit ModalRun(CDialog& dialog) : dialog_(dialog), thread_(::CreateThread(nullptr, 0, Main, this, 0, &id_)) {}
    ~ModalRun() {
        for (DWORD start = ::GetTickCount(); !Ended(0) && ::GetTickCount() - start < kLimitMs; ::Sleep(10))
            ::EnumThreadWindows(id_, Close, 0);
    }
    ModalRun(const ModalRun&) = delete;
    ModalRun& operator=(const ModalRun&) = delete;

    DWORD ThreadId() const { return id_; }
    bool Ended(DWORD waitMs = kLimitMs) { return !thread_ || ::WaitForSingleObject(thread_.Get(), waitMs) == WAIT_OBJECT_0; }
    INT_PTR Code() const { return code_; }

private:
    static BOOL CALLBACK Close(HWND window, LPARAM) { return ::PostMessageW(window, WM_CLOSE, 0, 0); }
    static DWORD WINAPI Main(void* self) {
        auto* run = static_cast<ModalRun*>(self);
        run->code_ = run->dialog_.DoModal();
        return 0;
    }
    CDialog& dialog_;
    INT_PTR code_ = -2;
    DWORD id_ = 0;
    Handle thread_;
};

// The sample program, loaded as data, and a display to show windows on.
class SampleDialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = ::LoadLibraryExW(GEARRACK_SAMPLE_PROGRAM, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() { ::FreeLibrary(module_); }
    void SetUp() override {
        ASSERT_NE(module_, nullptr) << "cannot load " << GEARRACK_SAMPLE_PROGRAM;
        HWND probe = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(probe, nullptr) << "no window can be made: run the Win32 tests with a display (xvfb-run -a ctest ...)";
        ::DestroyWindow(probe);
    }
    static inline HMODULE module_ = nullptr;
};

// The size in pixels of the bitmap that picture control `picture` shows; 0 x 0 for none.
inline SIZE PictureSize(HWND picture) {
    BITMAP info = {};
    auto bitmap = reinterpret_cast<HGDIOBJ>(::SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    return bitmap && ::GetObjectW(bitmap, sizeof(info), &info) ? SIZE{info.bmWidth, info.bmHeight} : SIZE{0, 0};
}

}  // namespace gr::testing
