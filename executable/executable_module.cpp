#include "executable/executable_module.h"

#include "program/code_table.h"
#include "program/data_block.h"
#include "program/imports.h"

extern "C" const std::uint8_t zelk_image_begin[];
extern "C" const std::uint8_t zelk_image_end[];

namespace zelk::executable {

const runtime_interface::LoadedModule& loadedModule() {
    static const runtime_interface::LoadedModule module{
        std::span<const std::uint8_t>(zelk_image_begin, zelk_image_end),
        std::span<std::uint8_t>(program::dataBlock),
        std::span<runtime_interface::AnyRoutine>(program::importAddressTable),
        program::codeTable(),
    };
    return module;
}

}  // namespace zelk::executable
