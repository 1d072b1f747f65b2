#include "runtime/resources.h"

#include "formats/module_header.h"
#include "runtime/process.h"
#include "runtime/field_reader.h"

#include <string>

namespace zelk::runtime {

std::span<const std::uint8_t> findResource(const AddressSpace& space, std::uint32_t imageBase, std::uint32_t type,
                                           std::uint32_t id) {
    namespace field = formats::resource_directory;
    const std::uint32_t directory = readField(space, imageBase, formats::module_header::kResourceDirectory);
    const std::uint32_t count = readField(space, directory, field::kCount);
    // The whole table is checked first, so a broken count cannot walk the
    // search through whatever follows the directory.
    const std::uint64_t table = std::uint64_t(directory) + field::kEntries,
                        tableSize = std::uint64_t(count) * field::kEntrySize;
    if (table + tableSize > 0x1'0000'0000ull || !space.contains(std::uint32_t(table), std::uint32_t(tableSize)))
        throw BadAddress("resource directory's " + std::to_string(count) + " entries lie outside the image");
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t entry = std::uint32_t(table) + i * field::kEntrySize;
        if (readField(space, entry, field::kType) != type || readField(space, entry, field::kId) != id) continue;
        const std::uint32_t data = readField(space, entry, field::kData);
        return space.bytes(data, readField(space, entry, field::kDataSize), "resource");
    }
    throw BadDescriptor("no resource of type " + std::to_string(type) + " with ID " + std::to_string(id));
}

}  // namespace zelk::runtime
