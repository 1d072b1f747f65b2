#pragma once

#include <cstddef>
#include <cstdint>

namespace zelk::runtime_interface {

// What a variant's 16-bit type tag says its value is.
enum class VariantType : std::uint16_t {
    Empty = 0,
    Integer16 = 2,
    Integer32 = 3,
    Single = 4,
    Double = 5,
};

// The 16-byte variant: a 16-bit type tag, six reserved bytes, an 8-byte value.
struct Variant {
    VariantType type;
    std::uint16_t reserved[3];
    union {
        std::int16_t integer16;
        std::int32_t integer32;
        float single;
        double real;
        std::uint64_t valueBits;
    };
};
static_assert(sizeof(Variant) == 16);
static_assert(offsetof(Variant, integer16) == 8);

// A variant of the 16-bit integer type.
inline Variant integer16Variant(std::int16_t value) {
    Variant out{};
    out.type = VariantType::Integer16;
    out.integer16 = value;
    return out;
}

}  // namespace zelk::runtime_interface
