#pragma once

#include <cstdint>

namespace zelk::formats {

// One field of a stored record: where it starts, counted from the record's
// first byte, how many bytes it takes, and what it is called in messages.
// A record's address plus a field is the field's address.
struct Field {
    std::uint32_t offset;
    std::uint32_t size;
    const char* name;

    constexpr operator std::uint32_t() const noexcept { return offset; }
};

}  // namespace zelk::formats
