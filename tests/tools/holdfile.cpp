// holdfile.exe <path>
// Opens (creating if needed) the file with no sharing, as another program that has it
// open would, prints "held" and keeps it until its standard input ends or 60 seconds pass.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    HANDLE file = ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("cannot hold: error %lu\n", ::GetLastError());
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    char byte;
    DWORD read = 0;
    ULONGLONG deadline = ::GetTickCount64() + 60000;
    while (::GetTickCount64() < deadline && ::ReadFile(input, &byte, 1, &read, nullptr) && read > 0) {
    }
    ::CloseHandle(file);
    return 0;
}
