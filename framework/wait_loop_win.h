// The user-interface thread's wait for the run: it keeps pumping this thread's messages
// so that its windows stay alive, and reacts to the wizard's first window and to the end
// of the run.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace gr {

// The window that covers the wait, as the wait loop drives it.
class WaitCover {
public:
    virtual ~WaitCover() = default;
    virtual bool IsOpen() const = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void Dismiss() = 0;  // ends the window; IsOpen is false afterwards
};

// Dispatches every message waiting for this thread; a quit message is dropped, since
// this thread has no message loop of its own to end.
void DrainMessages();

// Waits until `runFinished` is signalled. `wizardShown` is reset each time it is seen and
// dismisses `cover`; `cover` (may be null) follows `openPromptCount`. Returns 0, or the
// error of a wait that failed (then the run is treated as failed rather than waited on
// in a spin).
uint32_t RunWaitLoop(HANDLE wizardShown, HANDLE runFinished,
                     const std::atomic<int32_t>& openPromptCount, WaitCover* cover);

}  // namespace gr
