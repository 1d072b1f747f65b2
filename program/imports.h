#pragma once

// The program's calls into the runtime, through the import address table that
// the runtime fills at start-up.

#include "formats/import_list.h"
#include "runtime_interface/loaded_module.h"
#include "runtime_interface/vb_operations.h"

#include <array>

namespace zelk::program {

extern std::array<rt::AnyRoutine, rt::kImportCount> importAddressTable;

template <rt::Import I>
struct ImportType;

#define ZELK_IMPORT_TYPE(name)                 \
    template <>                                \
    struct ImportType<rt::Import::name> {      \
        using type = decltype(&vb::name);      \
    };
ZELK_RUNTIME_IMPORTS(ZELK_IMPORT_TYPE)
#undef ZELK_IMPORT_TYPE

template <rt::Import I>
typename ImportType<I>::type imported() {
    return reinterpret_cast<typename ImportType<I>::type>(importAddressTable[int(I)]);
}

}  // namespace zelk::program
