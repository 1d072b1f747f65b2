#pragma once

#include "program/records/resource_directory.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zelk::program::records {

// Icon group 1 ("icon_group") and, behind it, its images as icons 30001 on
// ("icon.30001", ...), in the order given. Each image is a bitmap icon image;
// the group's entries are taken from their headers, which are checked
// (FormatError naming the image and offset).
std::vector<Resource> writeIconGroup(ImageBuilder& out, std::span<const std::vector<std::uint8_t>> images);

}  // namespace zelk::program::records
