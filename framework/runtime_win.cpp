// The program is built without exceptions. The few places where the standard library
// would throw (memory exhausted, a length beyond what a string can hold) end the process
// at once with a clear exit code instead, so the exception machinery, its unwinder and
// its demangler stay out of the program. Linked into the program only, never into the
// tests, which use exceptions.
#include <windows.h>

#include <bits/functexcept.h>

#include <cstdlib>
#include <exception>
#include <new>

namespace {

[[noreturn]] void EndProcess(HRESULT code) {
    ::ExitProcess(static_cast<UINT>(code));
}

void* Allocate(std::size_t bytes) {
    void* memory = std::malloc(bytes != 0 ? bytes : 1);
    if (memory == nullptr) EndProcess(E_OUTOFMEMORY);
    return memory;
}

}  // namespace

void* operator new(std::size_t bytes) { return Allocate(bytes); }
void* operator new[](std::size_t bytes) { return Allocate(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return std::malloc(bytes != 0 ? bytes : 1); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return std::malloc(bytes != 0 ? bytes : 1); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

namespace std {
void __throw_bad_alloc() { EndProcess(E_OUTOFMEMORY); }
void __throw_bad_array_new_length() { EndProcess(E_OUTOFMEMORY); }
void __throw_length_error(const char*) { EndProcess(E_OUTOFMEMORY); }
void __throw_logic_error(const char*) { EndProcess(E_UNEXPECTED); }
void __throw_out_of_range(const char*) { EndProcess(E_UNEXPECTED); }
void __throw_out_of_range_fmt(const char*, ...) { EndProcess(E_UNEXPECTED); }
void __throw_invalid_argument(const char*) { EndProcess(E_UNEXPECTED); }
}  // namespace std

namespace __gnu_cxx {
void __verbose_terminate_handler() { EndProcess(E_UNEXPECTED); }
}  // namespace __gnu_cxx
