#pragma once

#include "program/records/form1_description.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace zelk::imagegen {

struct AssembledImage {
    std::uint32_t base;
    std::vector<std::uint8_t> bytes;
    std::map<std::string, std::uint32_t> labels;
};

// The whole read-only image: module header, import jumps, code range,
// project descriptor, binding tables, procedure descriptors, imports, the
// form description with its pictures, the version record, the icon group with
// its images (bitmap icon images, in the group's order) and the resource directory.
AssembledImage assembleImage(const program::records::PictureRecords& pictures,
                             std::span<const std::vector<std::uint8_t>> iconImages);

}  // namespace zelk::imagegen
