// The programs are built without exceptions. The few places where the standard library
// would throw (memory exhausted, a length beyond what a string can hold) end the process
// at once with a clear exit code instead, so the exception machinery, its unwinder and
// its demangler stay out of the program. Linked into the bootstrapper and the sample
// wizard, never into the tests, which use exceptions.
#include <windows.h>

#include <bits/functexcept.h>

#include <cstdlib>
#include <exception>
#include <new>

#include "base/result_codes.h"

namespace {

// The bootstrapper ends with the result code of what happened; a program with one failure
// exit code of its own (the wizard ends as a failed install) defines
// GEARRACK_RUNTIME_FAILURE_CODE and ends with that instead.
#ifdef GEARRACK_RUNTIME_FAILURE_CODE
constexpr uint32_t kOutOfMemory = GEARRACK_RUNTIME_FAILURE_CODE;
constexpr uint32_t kUnexpected = GEARRACK_RUNTIME_FAILURE_CODE;
#else
constexpr uint32_t kOutOfMemory = gr::kOutOfMemory;
constexpr uint32_t kUnexpected = gr::kUnexpected;
#endif

[[noreturn]] void EndProcess(uint32_t code) {
    ::ExitProcess(static_cast<UINT>(code));
}

void* Allocate(std::size_t bytes) {
    void* memory = std::malloc(bytes != 0 ? bytes : 1);
    if (memory == nullptr) EndProcess(kOutOfMemory);
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
void __throw_bad_alloc() { EndProcess(kOutOfMemory); }
void __throw_bad_array_new_length() { EndProcess(kOutOfMemory); }
void __throw_length_error(const char*) { EndProcess(kOutOfMemory); }
void __throw_logic_error(const char*) { EndProcess(kUnexpected); }
void __throw_out_of_range(const char*) { EndProcess(kUnexpected); }
void __throw_out_of_range_fmt(const char*, ...) { EndProcess(kUnexpected); }
void __throw_invalid_argument(const char*) { EndProcess(kUnexpected); }
}  // namespace std

namespace __gnu_cxx {
void __verbose_terminate_handler() { EndProcess(kUnexpected); }
}  // namespace __gnu_cxx
