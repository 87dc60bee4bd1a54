#pragma once

#include <cstdint>

namespace xls {

// BIFF fields are little-endian whatever the machine.
inline void putU16(char* out, std::uint16_t value) {
    out[0] = char(value & 0xFF);
    out[1] = char(value >> 8);
}

inline void putU32(char* out, std::uint32_t value) {
    putU16(out, std::uint16_t(value & 0xFFFF));
    putU16(out + 2, std::uint16_t(value >> 16));
}

}  // namespace xls
