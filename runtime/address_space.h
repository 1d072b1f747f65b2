#pragma once

// The program's 32-bit addresses and the memory behind them. Every read is
// checked, so a broken link is an error, not a stray read.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelk::runtime {

class BadAddress : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "0x00401000": how errors name an address.
std::string hexAddress(std::uint32_t address);

class AddressSpace {
public:
    void map(std::uint32_t base, std::span<const std::uint8_t> bytes, std::string name);

    // `count` bytes at `address`, all inside one mapped region.
    std::span<const std::uint8_t> bytes(std::uint32_t address, std::uint32_t count, const char* what) const;
    std::uint8_t u8(std::uint32_t address, const char* what) const { return bytes(address, 1, what)[0]; }
    std::uint16_t u16(std::uint32_t address, const char* what) const;
    std::uint32_t u32(std::uint32_t address, const char* what) const;
    std::string cstr(std::uint32_t address, const char* what, std::uint32_t maxLength = 260) const;

    bool contains(std::uint32_t address, std::uint32_t count = 1) const;

private:
    struct Region {
        std::uint32_t base;
        std::span<const std::uint8_t> bytes;
        std::string name;
    };
    const Region* find(std::uint32_t address, std::uint32_t count) const;
    std::vector<Region> regions_;
};

}  // namespace zelk::runtime
