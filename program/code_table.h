#pragma once

#include "runtime_interface/loaded_module.h"

#include <span>

namespace zelk::program {

// The code addresses that stand for native routines of the program: the
// handlers' own places, their exit points and their clean-ups.
std::span<const rt::CodeEntry> codeTable();

}  // namespace zelk::program
