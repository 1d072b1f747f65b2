#include "runtime/resources.h"

#include "formats/module_header.h"
#include "runtime/process.h"

#include <string>

namespace zelk::runtime {

std::span<const std::uint8_t> findResource(const AddressSpace& space, std::uint32_t imageBase, std::uint32_t type,
                                           std::uint32_t id) {
    using namespace formats::resource_directory;
    const std::uint32_t directory = space.u32(imageBase + formats::module_header::kResourceDirectory, "resource directory link");
    const std::uint32_t count = space.u32(directory + kCount, "resource count");
    // The whole table is checked first, so a broken count cannot walk the
    // search through whatever follows the directory.
    const std::uint64_t table = std::uint64_t(directory) + kEntries, tableSize = std::uint64_t(count) * kEntrySize;
    if (table + tableSize > 0x1'0000'0000ull || !space.contains(std::uint32_t(table), std::uint32_t(tableSize)))
        throw BadAddress("resource directory's " + std::to_string(count) + " entries lie outside the image");
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t entry = std::uint32_t(table) + i * kEntrySize;
        if (space.u32(entry + kType, "resource type") != type || space.u32(entry + kId, "resource ID") != id) continue;
        return space.bytes(space.u32(entry + kData, "resource link"), space.u32(entry + kDataSize, "resource size"),
                           "resource");
    }
    throw BadDescriptor("no resource of type " + std::to_string(type) + " with ID " + std::to_string(id));
}

}  // namespace zelk::runtime
