#include "program/imports.h"

namespace zelk::program {

std::array<rt::AnyRoutine, rt::kImportCount> importAddressTable{};

}  // namespace zelk::program
