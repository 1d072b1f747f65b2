#pragma once

// A click handler's procedure descriptor: what the runtime's exception handler
// needs of the handler whose frame it is called with.

#include "formats/record_field.h"

#include <cstdint>

namespace zelk::formats::procedure_descriptor {

inline constexpr Field kFlags{0x00, 4, "procedure flags"};
inline constexpr Field kExitPoint{0x04, 4, "procedure exit point"};
inline constexpr Field kCommonCleanup{0x08, 4, "procedure common clean-up"};
inline constexpr Field kUnwindCleanup{0x0C, 4, "procedure unwind clean-up"};
inline constexpr std::uint32_t kSize = 16;

}  // namespace zelk::formats::procedure_descriptor
