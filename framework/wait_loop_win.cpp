#include "framework/wait_loop_win.h"

#include "base/log.h"
#include "framework/errors_win.h"
#include "framework/wait_loop.h"

namespace gr {

void DrainMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT) ::DispatchMessageW(&message);
}

namespace {

void FollowPromptCount(int32_t& lastSeen, int32_t now, WaitCover* cover) {
    SplashChange change = SplashChangeFor(lastSeen, now);
    lastSeen = now;
    if (!cover || !cover->IsOpen()) return;
    if (change == SplashChange::Show) cover->Show();
    if (change == SplashChange::Hide) cover->Hide();
}

void DismissCover(WaitCover* cover) {
    if (cover && cover->IsOpen()) cover->Dismiss();
}

}  // namespace

uint32_t RunWaitLoop(HANDLE wizardShown, HANDLE runFinished,
                     const std::atomic<int32_t>& openPromptCount, WaitCover* cover) {
    const HANDLE handles[2] = {wizardShown, runFinished};
    int32_t lastSeen = 0;
    for (;;) {
        DrainMessages();
        FollowPromptCount(lastSeen, openPromptCount.load(), cover);
        DWORD woken = ::MsgWaitForMultipleObjects(2, handles, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0 + 1) break;
        if (woken == WAIT_OBJECT_0) {
            ::ResetEvent(wizardShown);
            DismissCover(cover);
        } else if (woken == WAIT_FAILED) {
            DWORD error = ::GetLastError();
            LogFormat(L"Waiting for the run failed, error %d\n", static_cast<int32_t>(error));
            DismissCover(cover);
            return ResultFromError(error);  // never 0: a failed wait is no success
        }
    }
    DismissCover(cover);
    return 0;
}

}  // namespace gr
