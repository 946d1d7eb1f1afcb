// Little-endian fields in byte buffers: how every structure of a program file is stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace gr::pack {

using Bytes = std::vector<uint8_t>;

inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
inline void Put16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}
inline void Put32(uint8_t* p, uint32_t value) {
    Put16(p, value);
    Put16(p + 2, value >> 16);
}
inline void Append16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}
inline void Append32(Bytes& out, uint32_t value) {
    Append16(out, value);
    Append16(out, value >> 16);
}
inline void AppendText(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

// `value` rounded up to a multiple of `alignment` (a power of two).
inline uint64_t AlignUp(uint64_t value, uint64_t alignment) { return (value + alignment - 1) & ~(alignment - 1); }

// Whether `offset` + `length` lies within `size`, without overflow.
inline bool Within(uint64_t offset, uint64_t length, uint64_t size) {
    return offset <= size && length <= size - offset;
}

}  // namespace gr::pack
