#include "framework/wait_loop_win.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/handles_win.h"

namespace gr {
namespace {

class RecordingCover : public WaitCover {
public:
    bool IsOpen() const override { return open; }
    void Show() override { calls += L"show "; }
    void Hide() override { calls += L"hide "; }
    void Dismiss() override {
        calls += L"dismiss ";
        open = false;
    }
    bool open = true;
    std::wstring calls;
};

// Plays the worker: opens a prompt, closes it, shows the wizard, ends the run; each step
// waits until the loop has acted on the one before, and posts a message to wake it.
struct Worker {
    HANDLE wizardShown;
    HANDLE runFinished;
    std::atomic<int32_t>* prompts;
    DWORD loopThread;
    RecordingCover* cover;

    static bool WaitFor(RecordingCover* cover, const wchar_t* calls) {
        for (int i = 0; i < 500; ++i) {
            if (cover->calls == calls) return true;
            ::Sleep(10);
        }
        return false;
    }
    static DWORD WINAPI Main(void* parameter) {
        auto* w = static_cast<Worker*>(parameter);
        *w->prompts = 1;
        ::PostThreadMessageW(w->loopThread, WM_NULL, 0, 0);
        if (!WaitFor(w->cover, L"hide ")) return 1;
        *w->prompts = 0;
        ::PostThreadMessageW(w->loopThread, WM_NULL, 0, 0);
        if (!WaitFor(w->cover, L"hide show ")) return 2;
        ::SetEvent(w->wizardShown);
        if (!WaitFor(w->cover, L"hide show dismiss ")) return 3;
        ::SetEvent(w->runFinished);
        return 0;
    }
};

TEST(WaitLoop, FollowsThePromptCountAndEndsWithTheRun) {
    Handle wizardShown(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    Handle runFinished(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<int32_t> prompts{0};
    RecordingCover cover;
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // gives this thread its queue
    Worker worker{wizardShown.Get(), runFinished.Get(), &prompts, ::GetCurrentThreadId(), &cover};
    Handle thread(::CreateThread(nullptr, 0, Worker::Main, &worker, 0, nullptr));
    ASSERT_TRUE(thread);

    EXPECT_EQ(RunWaitLoop(wizardShown.Get(), runFinished.Get(), prompts, &cover), 0u);
    EXPECT_EQ(::WaitForSingleObject(thread.Get(), 10000), WAIT_OBJECT_0);
    DWORD workerResult = 99;
    ::GetExitCodeThread(thread.Get(), &workerResult);
    EXPECT_EQ(workerResult, 0u);
    EXPECT_EQ(cover.calls, L"hide show dismiss ");
    EXPECT_EQ(::WaitForSingleObject(wizardShown.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));  // reset once seen
}

TEST(WaitLoop, BothEventsAtOnceDismissTheCoverBeforeTheLoopEnds) {
    Handle wizardShown(::CreateEventW(nullptr, TRUE, TRUE, nullptr));
    Handle runFinished(::CreateEventW(nullptr, TRUE, TRUE, nullptr));
    std::atomic<int32_t> prompts{0};
    RecordingCover cover;
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_QUIT, 0, 0);  // dropped, not obeyed
    EXPECT_EQ(RunWaitLoop(wizardShown.Get(), runFinished.Get(), prompts, &cover), 0u);
    EXPECT_EQ(cover.calls, L"dismiss ");
    MSG message;
    EXPECT_FALSE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(WaitLoop, AFailingWaitEndsWithItsErrorInsteadOfSpinning) {
    Handle runFinished(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<int32_t> prompts{0};
    HANDLE closed = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::CloseHandle(closed);
    uint32_t result = RunWaitLoop(closed, runFinished.Get(), prompts, nullptr);
    EXPECT_EQ(result, static_cast<uint32_t>(HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE)));
}

}  // namespace
}  // namespace gr
