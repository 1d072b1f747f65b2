#include "art/painter/icon_image.h"

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <string>

namespace zelk::art::painter {

formats::IconImage iconImageOf(const RgbaImage& drawing, std::span<const formats::Rgb> colours, std::uint8_t outside) {
    formats::IconImage image;
    image.width = drawing.width;
    image.height = drawing.height;
    image.colours.assign(colours.begin(), colours.end());
    // A full table of 2 to the bits entries; the encoder refuses any other.
    image.bitsPerPixel = int(std::bit_width(colours.size())) - 1;
    for (int y = 0; y < drawing.height; ++y) {
        for (int x = 0; x < drawing.width; ++x) {
            const Rgba& p = drawing.at(x, y);
            const std::string where = " at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
            if (p.a == 0) {
                image.index.push_back(outside);
                image.outside.push_back(true);
                continue;
            }
            if (p.a != 255) throw std::runtime_error("antialiased icon pixel" + where + ": draw with crisp edges");
            const auto it = std::ranges::find(colours, formats::Rgb{p.r, p.g, p.b});
            if (it == colours.end()) throw std::runtime_error("icon pixel" + where + " is not a palette colour");
            image.index.push_back(std::uint8_t(it - colours.begin()));
            image.outside.push_back(false);
        }
    }
    return image;
}

}  // namespace zelk::art::painter
