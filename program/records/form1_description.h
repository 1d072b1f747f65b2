#pragma once

#include "formats/form_description.h"

#include <array>
#include <cstdint>
#include <vector>

namespace zelk::program::records {

// Picture records (magic, length, bitmap) of the scene and the three horse poses.
struct PictureRecords {
    std::vector<std::uint8_t> scene;
    std::array<std::vector<std::uint8_t>, 3> poses;  // Img1, Img2, Img3
};

// Form1's description as the window is laid out.
formats::DescriptionData describeForm1(const PictureRecords& pictures);

}  // namespace zelk::program::records
