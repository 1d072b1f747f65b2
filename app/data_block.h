#pragma once

#include <cstdint>

namespace zelk::app {

// The executable's writable data that the project descriptor reserves for the
// runtime; zero at load, never touched by the program's own code.
extern std::uint8_t dataBlock[2540];

}  // namespace zelk::app
