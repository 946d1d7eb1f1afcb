// Our small application framework's application object: it holds the instance handle,
// the raw argument text and the main window, and runs InitInstance and ExitInstance.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace gr {

class CWinApp {
public:
    CWinApp() = default;
    virtual ~CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Does the application's work. True asks for the message loop to run until WM_QUIT.
    virtual bool InitInstance() { return false; }
    // Returns the process exit code.
    virtual int ExitInstance() { return 0; }

    // Runs the application to its end: InitInstance, the message loop when asked for,
    // then ExitInstance, whose answer is returned.
    int Run(HINSTANCE instance, std::wstring_view fullCommandLine);

    HINSTANCE Instance() const { return instance_; }
    // The thread that runs InitInstance and ExitInstance: the user-interface thread.
    DWORD ThreadId() const { return threadId_; }
    // The arguments as the process received them, after the program path.
    const std::wstring& CommandLineText() const { return commandLineText_; }
    // The full command line, program path included.
    const std::wstring& FullCommandLine() const { return fullCommandLine_; }
    HWND MainWindow() const { return mainWindow_; }
    void SetMainWindow(HWND window) { mainWindow_ = window; }

private:
    HINSTANCE instance_ = nullptr;
    DWORD threadId_ = 0;
    std::wstring fullCommandLine_;
    std::wstring commandLineText_;
    HWND mainWindow_ = nullptr;
};

}  // namespace gr
