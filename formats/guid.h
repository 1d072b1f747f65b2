#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace zelk::formats {

// A GUID as it is stored and passed: 16 bytes, a 32-bit and two 16-bit fields
// little-endian, then eight single bytes. It is written in its braced form's
// order: Guid{0x33AD4F91, 0x6699, 0x11CF, {0xB7, 0x0C, ...}}.
struct Guid {
    std::array<std::uint8_t, 16> bytes{};

    constexpr Guid() = default;
    constexpr Guid(std::uint32_t first, std::uint16_t second, std::uint16_t third, std::array<std::uint8_t, 8> last) {
        for (int i = 0; i < 4; ++i) bytes[i] = std::uint8_t(first >> (8 * i));
        for (int i = 0; i < 2; ++i) bytes[4 + i] = std::uint8_t(second >> (8 * i));
        for (int i = 0; i < 2; ++i) bytes[6 + i] = std::uint8_t(third >> (8 * i));
        for (int i = 0; i < 8; ++i) bytes[8 + i] = last[i];
    }

    // The 16 stored bytes at the start of `stored`, which must hold them.
    static Guid fromBytes(std::span<const std::uint8_t, 16> stored) {
        Guid g;
        for (std::size_t i = 0; i < g.bytes.size(); ++i) g.bytes[i] = stored[i];
        return g;
    }

    friend bool operator==(const Guid&, const Guid&) = default;
};
static_assert(sizeof(Guid) == 16);

}  // namespace zelk::formats
