// probe_wizard.exe: stands in for the installer wizard in the tests. It records what it
// received and does what its environment tells it:
//   GEARRACK_PROBE_RECORD   file to write the record to (UTF-8 lines): "started=" (the
//                           system tick count in milliseconds at its start), "commandline=",
//                           one "arg=" per argument as the system's splitting sees them,
//                           "cwd=", and one "file=" per file in its own folder
//   GEARRACK_PROBE_WINDOW   milliseconds after which it shows a visible window (none if unset)
//   GEARRACK_PROBE_GATE     file whose existence it waits for (up to a minute) before that
//                           delay begins, so that a test decides when the window appears
//   GEARRACK_PROBE_STAY     milliseconds it keeps running after that (default 0), or less
//                           when its window is closed
//   GEARRACK_PROBE_LOG      lines ("|"-separated) to append to the file named by its /log argument
//   GEARRACK_PROBE_LINK_LOG a file: the one named by its /log argument is replaced by a hard
//                           link to it, as a user who can write the log's folder could do
//   GEARRACK_PROBE_LEAVE    files (";"-separated, subfolders allowed) to leave in its folder
//   GEARRACK_PROBE_EXIT     its exit code (decimal, or hexadecimal with 0x)
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring Variable(const wchar_t* name) {
    wchar_t value[4096];
    DWORD length = ::GetEnvironmentVariableW(name, value, 4096);
    return length > 0 && length < 4096 ? std::wstring(value, length) : std::wstring();
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        size_t end = text.find(separator, start);
        if (end == std::wstring::npos) end = text.size();
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

void Append(HANDLE file, const std::wstring& text) {
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(file, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
}

std::vector<std::wstring> Arguments() {
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; words && i < count; ++i) arguments.emplace_back(words[i]);
    ::LocalFree(words);
    return arguments;
}

void Record(const std::wstring& path, ULONGLONG started) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    Append(file, L"started=" + std::to_wstring(started) + L"\n");
    Append(file, L"commandline=" + std::wstring(::GetCommandLineW()) + L"\n");
    for (const std::wstring& argument : Arguments()) Append(file, L"arg=" + argument + L"\n");
    wchar_t folder[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    Append(file, L"cwd=" + std::wstring(folder) + L"\n");
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring own(self);
    own.erase(own.find_last_of(L'\\') + 1);
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((own + L"*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) Append(file, L"file=" + std::wstring(found.cFileName) + L"\n");
    if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
    ::CloseHandle(file);
}

std::wstring LogArgument() {
    std::vector<std::wstring> arguments = Arguments();
    for (size_t i = 0; i + 1 < arguments.size(); ++i)
        if (arguments[i] == L"/log") return arguments[i + 1];
    return std::wstring();
}

void WriteLog(const std::wstring& lines) {
    std::wstring log = LogArgument();
    if (!log.empty()) {
        HANDLE file = ::CreateFileW(log.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        for (const std::wstring& line : Split(lines, L'|')) {
            std::string text(line.begin(), line.end());
            text += "\r\n";
            DWORD written = 0;
            ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        }
        ::CloseHandle(file);
    }
}

void LinkLog(const std::wstring& target) {
    std::wstring log = LogArgument();
    if (log.empty()) return;
    ::DeleteFileW(log.c_str());
    ::CreateHardLinkW(log.c_str(), target.c_str(), nullptr);
}

void Leave(const std::wstring& files) {
    for (const std::wstring& name : Split(files, L';')) {
        size_t slash = name.find_last_of(L'\\');
        if (slash != std::wstring::npos) {
            std::wstring folder = name.substr(0, slash);
            for (size_t at = folder.find(L'\\'); ; at = folder.find(L'\\', at + 1)) {
                ::CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
                if (at == std::wstring::npos) break;
            }
        }
        HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    }
}

void WaitForFile(const std::wstring& path) {
    constexpr ULONGLONG kLimitMs = 60000;
    for (ULONGLONG end = ::GetTickCount64() + kLimitMs; ::GetTickCount64() < end; ::Sleep(20))
        if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return;
}

void ShowWindowFor(DWORD milliseconds) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"Probe wizard", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                                    200, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ULONGLONG end = ::GetTickCount64() + milliseconds;
    MSG message;
    while (::GetTickCount64() < end && ::IsWindow(window)) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    ::DestroyWindow(window);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    ULONGLONG started = ::GetTickCount64();
    std::wstring record = Variable(L"GEARRACK_PROBE_RECORD");
    if (!record.empty()) Record(record, started);
    Leave(Variable(L"GEARRACK_PROBE_LEAVE"));
    WriteLog(Variable(L"GEARRACK_PROBE_LOG"));
    std::wstring linkTarget = Variable(L"GEARRACK_PROBE_LINK_LOG");
    if (!linkTarget.empty()) LinkLog(linkTarget);
    std::wstring delay = Variable(L"GEARRACK_PROBE_WINDOW");
    if (!delay.empty()) {
        std::wstring gate = Variable(L"GEARRACK_PROBE_GATE");
        if (!gate.empty()) WaitForFile(gate);
        ::Sleep(static_cast<DWORD>(std::wcstoul(delay.c_str(), nullptr, 10)));
        ShowWindowFor(static_cast<DWORD>(std::wcstoul(Variable(L"GEARRACK_PROBE_STAY").c_str(), nullptr, 10)));
    }
    return static_cast<int>(std::wcstoul(Variable(L"GEARRACK_PROBE_EXIT").c_str(), nullptr, 0));
}
