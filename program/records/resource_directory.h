#pragma once

#include "program/records/image_builder.h"

#include <cstdint>
#include <span>
#include <string>

namespace zelk::program::records {

// One stored resource: what it is and the label of its bytes.
struct Resource {
    std::uint32_t type;
    std::uint32_t id;
    std::uint32_t language;
    std::string label;
    std::uint32_t size;
};

// The directory the module header links to ("resource_directory").
void writeResourceDirectory(ImageBuilder& out, std::span<const Resource> resources);

}  // namespace zelk::program::records
