// exitcode.exe <program> [arguments...]
// Starts the rest of its own command line exactly as typed (or, when the environment
// variable GEARRACK_COMMAND_LINE is set, that text as the whole command line, so that a
// test controls every quote), waits for the process to end and prints
// "exit code 0x%08x" with its full 32-bit exit code (after "launched at <tick>", the
// system tick count in milliseconds just before the start, for the benchmarks). Wine's own exit status keeps only
// the low 8 bits, so the tests read the code from this line.
#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/command_line.h"

int wmain();

int wmain() {
    std::wstring commandLine(gr::ArgumentsAfterProgram(::GetCommandLineW()));
    wchar_t given[32768];
    DWORD length = ::GetEnvironmentVariableW(L"GEARRACK_COMMAND_LINE", given, 32768);
    if (length > 0 && length < 32768) {
        commandLine.assign(given, length);
        ::SetEnvironmentVariableW(L"GEARRACK_COMMAND_LINE", nullptr);
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::printf("launched at %llu\n", static_cast<unsigned long long>(::GetTickCount64()));
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        std::printf("cannot start: error %lu\n", ::GetLastError());
        return 2;
    }
    ::CloseHandle(process.hThread);
    DWORD exitCode = 0;
    bool ended = ::WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                 ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    if (!ended) {
        std::printf("cannot wait: error %lu\n", ::GetLastError());
        return 2;
    }
    std::printf("exit code 0x%08lx\n", exitCode);
    std::fflush(stdout);
    return 0;
}
