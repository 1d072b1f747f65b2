#pragma once

#include "runtime_interface/loaded_module.h"

#include <span>

namespace zelk::program {

// The code addresses that stand for native routines of the program: the
// handlers' bodies, their exit points and their clean-ups.
std::span<const runtime_interface::CodeEntry> codeTable();

}  // namespace zelk::program
