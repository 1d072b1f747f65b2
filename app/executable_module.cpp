// The loader's view of this executable: the embedded image, the data block,
// the import address table and the program's code map.
#include "data_block.h"
#include "runtime/loaded_module.h"
#include "window/code_table.h"
#include "window/imports.h"

extern "C" const std::uint8_t zelk_image_begin[];
extern "C" const std::uint8_t zelk_image_end[];

namespace zelk::rt {

const LoadedModule& executableModule() {
    static const LoadedModule module{
        std::span<const std::uint8_t>(zelk_image_begin, zelk_image_end),
        std::span<std::uint8_t>(app::dataBlock),
        std::span<AnyRoutine>(program::importAddressTable),
        program::codeTable(),
    };
    return module;
}

}  // namespace zelk::rt
