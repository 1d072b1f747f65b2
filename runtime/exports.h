#pragma once

#include "runtime_interface/loaded_module.h"

#include <cstdint>
#include <string_view>

namespace zelk::rt {

// The runtime's exports; null for a name or ordinal it does not have.
AnyRoutine findExport(std::string_view name);
AnyRoutine findExportByOrdinal(std::uint16_t ordinal);

}  // namespace zelk::rt
