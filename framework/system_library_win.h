// A system DLL loaded at run time from the system folder only, with its entry points
// looked up by name, so that the import table names only DLLs that always come from there.
#pragma once

#include "framework/dll_safety_win.h"

namespace gr {

class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* name) : module_(LoadSystemLibrary(name)) {}

    // The entry point `name` as a pointer of the platform's declared type (for example
    // decltype(&::WinVerifyTrust)); null when the DLL or the entry point is missing.
    template <class Function>
    Function Find(const char* name) const {
        if (!module_) return nullptr;
        return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module_.Get(), name)));
    }

private:
    Module module_;
};

}  // namespace gr
