#pragma once

// What the loader gives the runtime: the executable's read-only image, its
// writable data block and import address table, and the map of its code.

#include "code_map.h"

#include <cstdint>
#include <span>

namespace zelk::rt {

using AnyRoutine = void (*)();

struct LoadedModule {
    std::span<const std::uint8_t> image;
    std::span<std::uint8_t> dataBlock;
    std::span<AnyRoutine> importAddressTable;
    std::span<const CodeEntry> code;
};

// Defined by the executable: the module the process was started from.
const LoadedModule& executableModule();

}  // namespace zelk::rt
