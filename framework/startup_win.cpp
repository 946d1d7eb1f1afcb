// The program's own start-up, in place of the C runtime's. The runtime's start-up prepares
// what this program never uses (argument vectors, a copy of the environment, handlers for
// floating-point errors and signals, thread-local storage, the relocation of imported data,
// of which the image has none) and costs about 10 KB. What the program needs is done here,
// in the runtime's order: the floating-point unit is reset, wWinMain's arguments are taken,
// the static objects are constructed, and exit() ends the process with wWinMain's answer,
// destroying the static objects on the way. msvcrt.dll sets itself up when it is loaded, so
// the heap and string functions need nothing more. Linked into the program only (with
// -nostartfiles), never into the tests.
#include <windows.h>

#include <cstdlib>

extern "C" {

// The image's own base address: the instance handle wWinMain is given.
extern IMAGE_DOS_HEADER __ImageBase;

// The linker's lists of static constructors and destructors (functions in .ctors and
// .dtors): a -1, the functions, a null.
extern void (*__CTOR_LIST__[])();
extern void (*__DTOR_LIST__[])();

// The compiler registers each static object's destructor here; msvcrt's exit() runs them in
// reverse order. The runtime's start-up defines this function, so without it we do.
int __cdecl atexit(void (__cdecl* function)()) {
    return _onexit(reinterpret_cast<_onexit_t>(function)) != nullptr ? 0 : -1;
}

namespace {

void RunDestructorList() {
    for (void (**function)() = __DTOR_LIST__ + 1; *function != nullptr; ++function) (*function)();
}

// What libmingw32's __main does: the constructors from the last to the first, then the
// destructor list registered to run at exit.
void RunConstructorList() {
    size_t count = 0;
    while (__CTOR_LIST__[count + 1] != nullptr) ++count;
    for (; count > 0; --count) __CTOR_LIST__[count]();
    atexit(RunDestructorList);
}

}  // namespace

// The entry point, which the linker looks for by this name. The system calls it with a
// stack aligned to 4 bytes only.
[[noreturn]] void WinMainCRTStartup();
__attribute__((force_align_arg_pointer, used)) void WinMainCRTStartup() {
    // The x87 unit to 64-bit precision, as the runtime's start-up left this thread.
    __asm__ __volatile__("fninit");

    STARTUPINFOW startup{};
    ::GetStartupInfoW(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;

    // The text after the program name, as the runtime cut it: the name ends at the first
    // blank or control character outside quotes, and the blanks after it are skipped.
    // (wWinMain reads the whole command line itself; this is its lpCmdLine.)
    wchar_t* arguments = ::GetCommandLineW();
    bool quoted = false;
    while (*arguments > L' ' || (*arguments != 0 && quoted)) {
        if (*arguments == L'"') quoted = !quoted;
        ++arguments;
    }
    while (*arguments != 0 && *arguments <= L' ') ++arguments;

    RunConstructorList();
    std::exit(wWinMain(reinterpret_cast<HINSTANCE>(&__ImageBase), nullptr, arguments, show));
}

}  // extern "C"
