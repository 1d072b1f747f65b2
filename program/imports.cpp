#include "program/imports.h"

namespace zelk::program {

std::array<runtime_interface::AnyRoutine, formats::kImportCount> importAddressTable{};

}  // namespace zelk::program
