// Registry reads of HKEY_LOCAL_MACHINE as a 32-bit process sees it (the 32-bit view).
#pragma once

#include <windows.h>

#include "checks/framework.h"

namespace gr {

// Reads a value into `buffer` (`size` bytes) whatever its stored type; true when the key
// opened and the value fitted.
bool ReadRegistryValue(HKEY root, const wchar_t* key, const wchar_t* value, void* buffer, DWORD size);

class MachineRegistry : public RegistryReader {
public:
    bool ReadNumber(const wchar_t* key, const wchar_t* value, uint32_t& number) const override;
    bool ReadText(const wchar_t* key, const wchar_t* value, std::wstring& text) const override;
};

}  // namespace gr
