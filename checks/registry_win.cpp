#include "checks/registry_win.h"

#include "framework/handles_win.h"

namespace gr {
namespace {

constexpr DWORD kTextLimitBytes = 260;

}  // namespace

bool ReadRegistryValue(HKEY root, const wchar_t* key, const wchar_t* value, void* buffer, DWORD size) {
    RegKey opened;
    if (::RegOpenKeyExW(root, key, 0, KEY_READ, opened.Receive()) != ERROR_SUCCESS) return false;
    return ::RegQueryValueExW(opened.Get(), value, nullptr, nullptr, static_cast<BYTE*>(buffer), &size) ==
           ERROR_SUCCESS;
}

bool MachineRegistry::ReadNumber(const wchar_t* key, const wchar_t* value, uint32_t& number) const {
    number = 0;
    return ReadRegistryValue(HKEY_LOCAL_MACHINE, key, value, &number, sizeof(number));
}

bool MachineRegistry::ReadText(const wchar_t* key, const wchar_t* value, std::wstring& text) const {
    wchar_t buffer[kTextLimitBytes / sizeof(wchar_t)] = {};
    if (!ReadRegistryValue(HKEY_LOCAL_MACHINE, key, value, buffer, sizeof(buffer))) return false;
    // A stored text need not carry its terminator: the buffer's end bounds it.
    size_t length = 0;
    while (length < kTextLimitBytes / sizeof(wchar_t) && buffer[length] != L'\0') ++length;
    text.assign(buffer, length);
    return true;
}

}  // namespace gr
