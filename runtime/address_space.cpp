#include "runtime/address_space.h"

#include "formats/byte_reader.h"

#include <cstdio>

namespace zelk::runtime {

std::string hexAddress(std::uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", address);
    return text;
}

void AddressSpace::map(std::uint32_t base, std::span<const std::uint8_t> bytes, std::string name) {
    if (std::uint64_t(base) + bytes.size() > 0x1'0000'0000ull) throw BadAddress(name + " does not fit below 4 GiB");
    regions_.push_back({base, bytes, std::move(name)});
}

const AddressSpace::Region* AddressSpace::find(std::uint32_t address, std::uint32_t count) const {
    for (const Region& r : regions_)
        if (address >= r.base && std::uint64_t(address) + count <= std::uint64_t(r.base) + r.bytes.size()) return &r;
    return nullptr;
}

bool AddressSpace::contains(std::uint32_t address, std::uint32_t count) const { return find(address, count); }

std::span<const std::uint8_t> AddressSpace::bytes(std::uint32_t address, std::uint32_t count, const char* what) const {
    const Region* r = find(address, count);
    if (!r)
        throw BadAddress(std::string(what) + ": " + std::to_string(count) + " bytes at " + hexAddress(address) +
                         " lie outside the image");
    return r->bytes.subspan(address - r->base, count);
}

std::uint16_t AddressSpace::u16(std::uint32_t address, const char* what) const {
    return std::uint16_t(formats::littleEndian(bytes(address, 2, what)));
}

std::uint32_t AddressSpace::u32(std::uint32_t address, const char* what) const {
    return std::uint32_t(formats::littleEndian(bytes(address, 4, what)));
}

std::string AddressSpace::cstr(std::uint32_t address, const char* what, std::uint32_t maxLength) const {
    std::string out;
    for (std::uint32_t i = 0; i <= maxLength; ++i) {
        const char c = char(u8(address + i, what));
        if (c == 0) return out;
        out.push_back(c);
    }
    throw BadAddress(std::string(what) + ": text at " + hexAddress(address) + " is not terminated");
}

}  // namespace zelk::runtime
