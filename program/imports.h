#pragma once

// The program's calls into the runtime, through the import address table that
// the runtime fills at start-up.

#include "formats/import_list.h"
#include "runtime_interface/loaded_module.h"
#include "runtime_interface/runtime_operations.h"

#include <array>

namespace zelk::program {

using formats::Import;

extern std::array<runtime_interface::AnyRoutine, formats::kImportCount> importAddressTable;

// The signature an import is called by.
template <Import I>
struct ImportType;

#define ZELK_IMPORT_TYPE(name, ordinal)                   \
    template <>                                           \
    struct ImportType<Import::name> {                     \
        using type = runtime_interface::signature::name*; \
    };
ZELK_RUNTIME_IMPORTS(ZELK_IMPORT_TYPE)
#undef ZELK_IMPORT_TYPE

template <Import I>
typename ImportType<I>::type imported() {
    return reinterpret_cast<typename ImportType<I>::type>(importAddressTable[int(I)]);
}

}  // namespace zelk::program
