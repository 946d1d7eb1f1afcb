// WOW64: whether this 32-bit process runs on 64-bit Windows, and switching its file-system
// redirection. The entry points are looked up at run time: older systems lack them.
#pragma once

namespace gr {

// True when this 32-bit process runs on 64-bit Windows. The first call caches the entry
// point; start-up makes it before the worker thread exists.
bool IsRunningUnderWow64();

// Switches redirection off for the calling thread (under WOW64 only), keeping the value
// that turns it back on.
void DisableFsRedirection();

// Turns redirection back on; false when nothing could be done.
bool RevertFsRedirection();

}  // namespace gr
