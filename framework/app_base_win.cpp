#include "framework/app_base_win.h"

#include "framework/command_line.h"

namespace gr {

int CWinApp::Run(HINSTANCE instance, std::wstring_view fullCommandLine) {
    instance_ = instance;
    threadId_ = ::GetCurrentThreadId();
    fullCommandLine_.assign(fullCommandLine);
    commandLineText_.assign(ArgumentsAfterProgram(fullCommandLine));
    if (InitInstance()) {
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return ExitInstance();
}

}  // namespace gr
