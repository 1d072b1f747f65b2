#pragma once

#include <cstdint>
#include <vector>

namespace zelk {

// Little-endian appends for the stored formats.
inline void appendU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

inline void appendU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    appendU16(out, v & 0xFFFF);
    appendU16(out, v >> 16);
}

}  // namespace zelk
