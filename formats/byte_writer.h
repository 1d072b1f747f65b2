#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelk::formats {

// Little-endian appends for the stored formats.
inline void appendU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

inline void appendU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    appendU16(out, v & 0xFFFF);
    appendU16(out, v >> 16);
}

// Fills in a field written before its value was known.
inline void patchU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
    for (int i = 0; i < 2; ++i) out.at(at + i) = std::uint8_t(v >> (8 * i));
}

inline void patchU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.at(at + i) = std::uint8_t(v >> (8 * i));
}

}  // namespace zelk::formats
