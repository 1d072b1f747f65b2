#pragma once

#include "window/form1_description.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zelk::image {

struct AssembledImage {
    std::uint32_t base;
    std::vector<std::uint8_t> bytes;
    std::map<std::string, std::uint32_t> labels;
};

// The whole read-only image: module header, import jumps, code range,
// project descriptor, binding tables, procedure descriptors, imports and the
// form description with its pictures.
AssembledImage assembleImage(const form1::PictureRecords& pictures);

}  // namespace zelk::image
