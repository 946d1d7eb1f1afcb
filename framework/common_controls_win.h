// Registration of the common control classes the dialogs use.
#pragma once

namespace gr {

// Registers the common controls (the Windows 95 classes) for this process. The library
// stays loaded until the process ends, since every dialog after this needs it.
void RegisterCommonControls();

}  // namespace gr
