#pragma once

// Places in the data block, the executable's writable data, that the stored
// records hand the runtime. Offsets count from the data block's first byte;
// the program's own code never touches any of them.

#include <cstdint>

namespace zelk::formats::data_block {

inline constexpr std::uint32_t kNativeCodeMarker = 0x000;
// The thread space runs from here to the data block's end.
inline constexpr std::uint32_t kThreadSpace = 0x008;

// Runtime slots, one 32-bit word each, by the record that links to it.
inline constexpr std::uint32_t kObjectTableSecondSlot = 0x01C;
inline constexpr std::uint32_t kObjectTableSlot = 0x02C;
inline constexpr std::uint32_t kControlLibrarySlot = 0x2D0;
inline constexpr std::uint32_t kImageControlTypeSlot = 0x2D4;
inline constexpr std::uint32_t kFormTypeSlot = 0x2D8;
inline constexpr std::uint32_t kCommandButtonTypeSlot = 0x2DC;
inline constexpr std::uint32_t kOptionalObjectInfoSlot = 0x2E0;

}  // namespace zelk::formats::data_block
