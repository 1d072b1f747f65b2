#pragma once

// A field of a stored record, read at its record's address in the width its
// layout gives, so no reader repeats a field's place or size.

#include "formats/record_field.h"
#include "runtime/address_space.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace zelk::runtime {

// The field's address; a record so near the top of the address space that
// the field would wrap round is a broken link, not a read at a low address.
inline std::uint32_t fieldAddress(std::uint32_t record, formats::Field field) {
    if (std::uint64_t(record) + field.offset + field.size > 0x1'0000'0000ull)
        throw BadAddress(std::string(field.name) + ": record at " + hexAddress(record) + " lies outside the image");
    return record + field.offset;
}

// A 16- or 32-bit number.
inline std::uint32_t readField(const AddressSpace& space, std::uint32_t record, formats::Field field) {
    const std::uint32_t at = fieldAddress(record, field);
    switch (field.size) {
        case 2: return space.u16(at, field.name);
        case 4: return space.u32(at, field.name);
        default: throw std::logic_error(std::string(field.name) + " is no number");
    }
}

inline std::span<const std::uint8_t> fieldBytes(const AddressSpace& space, std::uint32_t record, formats::Field field) {
    return space.bytes(fieldAddress(record, field), field.size, field.name);
}

}  // namespace zelk::runtime
