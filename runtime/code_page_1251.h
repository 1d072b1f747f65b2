#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zelk::runtime {

// Text stored one byte a character in code page 1251, as UTF-8.
std::string decodeCodePage1251(std::span<const std::uint8_t> text);

}  // namespace zelk::runtime
