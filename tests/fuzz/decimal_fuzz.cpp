// Fuzzes the decimal reader behind the manifest's ids and sizes and the string table's
// numbers against the C library's own reader in the "C" locale, clamped to 32 bits: the
// bytes read as narrow text and as UTF-16 (each up to a zero unit, where the C reader
// stops and the program's reader meets a character that is neither blank nor digit).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "base/decimal.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

int32_t Clamped(long value) {
    return value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : static_cast<int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string narrow(reinterpret_cast<const char*>(data), size);
    std::wstring latin(data, data + size);
    Check(gr::ParseDecimal(latin) == Clamped(std::strtol(narrow.c_str(), nullptr, 10)));

    std::wstring wide;
    for (size_t i = 0; i + 1 < size; i += 2) wide.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    Check(gr::ParseDecimal(wide) == Clamped(std::wcstol(wide.c_str(), nullptr, 10)));
    return 0;
}
