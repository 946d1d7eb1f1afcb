/* canary.c: a DLL planted where a program must not look for its system libraries.
 * Built once per planted name (build/win/tools/canaries/<name>.dll). On process attach it
 * creates an empty file "<name>.mark", <name> being its own module's file name without
 * the extension, in the folder the environment variable GEARRACK_CANARY_MARKS names (if
 * set). It then stays loaded and does nothing more.
 *
 * Only kernel32 and no C runtime (linked with -nostdlib): a canary must not itself load a
 * DLL that another canary stands in for, or the marks would depend on load order. The
 * buffers are static because DllMain runs under the loader lock, one thread at a time,
 * and a large stack frame would need the runtime's stack probe. */
#include <windows.h>

#define MARKS_VARIABLE L"GEARRACK_CANARY_MARKS"
#define BUFFER_LENGTH 1024

static WCHAR module_path[BUFFER_LENGTH];
static WCHAR mark_path[BUFFER_LENGTH];

static void leave_mark(HINSTANCE self) {
    DWORD folder_length = GetEnvironmentVariableW(MARKS_VARIABLE, mark_path, BUFFER_LENGTH);
    if (folder_length == 0 || folder_length >= BUFFER_LENGTH) return;
    DWORD path_length = GetModuleFileNameW(self, module_path, BUFFER_LENGTH);
    if (path_length == 0 || path_length >= BUFFER_LENGTH) return;

    /* The base name: after the last separator, up to its last dot. */
    WCHAR* name = module_path;
    WCHAR* dot = NULL;
    for (WCHAR* c = module_path; *c; ++c) {
        if (*c == L'\\' || *c == L'/') {
            name = c + 1;
            dot = NULL;
        } else if (*c == L'.') {
            dot = c;
        }
    }
    if (dot) *dot = L'\0';

    /* name, a separator and ".mark" must fit after the folder. */
    if (folder_length + (DWORD)lstrlenW(name) + 7 >= BUFFER_LENGTH) return;
    if (mark_path[folder_length - 1] != L'\\' && mark_path[folder_length - 1] != L'/')
        lstrcatW(mark_path, L"\\");
    lstrcatW(mark_path, name);
    lstrcatW(mark_path, L".mark");

    HANDLE mark = CreateFileW(mark_path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved);

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) leave_mark(self);
    return TRUE;
}
