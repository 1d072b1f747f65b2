#pragma once

#include "program/image_layout.h"

#include <cstdint>

namespace zelk::program {

// The executable's writable data that the project descriptor reserves for the
// runtime; zero at load, never touched by the program's own code.
extern std::uint8_t dataBlock[kDataBlockSize];

}  // namespace zelk::program
