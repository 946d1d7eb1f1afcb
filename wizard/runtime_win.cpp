// The wizard is built without exceptions. Where the standard library would throw (memory
// exhausted, a length beyond what a string can hold) the wizard ends at once as a failed
// install, so the exception machinery stays out of the program.
#include <windows.h>

#include <bits/functexcept.h>

#include <cstdlib>
#include <new>

#include "wizard/exit_codes.h"

namespace {

[[noreturn]] void EndAsFailed() {
    ::ExitProcess(static_cast<UINT>(wiz::kFailed));
}

void* Allocate(std::size_t bytes) {
    void* memory = std::malloc(bytes != 0 ? bytes : 1);
    if (memory == nullptr) EndAsFailed();
    return memory;
}

}  // namespace

void* operator new(std::size_t bytes) { return Allocate(bytes); }
void* operator new[](std::size_t bytes) { return Allocate(bytes); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace std {
void __throw_bad_alloc() { EndAsFailed(); }
void __throw_bad_array_new_length() { EndAsFailed(); }
void __throw_length_error(const char*) { EndAsFailed(); }
void __throw_logic_error(const char*) { EndAsFailed(); }
void __throw_out_of_range(const char*) { EndAsFailed(); }
void __throw_out_of_range_fmt(const char*, ...) { EndAsFailed(); }
void __throw_invalid_argument(const char*) { EndAsFailed(); }
}  // namespace std
