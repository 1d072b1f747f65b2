#pragma once

#include "runtime/code_map.h"

#include <span>

namespace zelk::program {

// Every code address of the image and the native routine behind it.
std::span<const rt::CodeEntry> codeTable();

}  // namespace zelk::program
