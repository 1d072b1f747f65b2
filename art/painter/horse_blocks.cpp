#include "art/painter/horse_blocks.h"

#include "art/painter/horse_palette.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace zelk::art::painter {
namespace {

bool isHorseColour(const Rgba& p) {
    return std::ranges::any_of(kHorseColours, [&](const formats::Rgb& c) { return c == formats::Rgb{p.r, p.g, p.b}; });
}

RgbaImage doubled(const RgbaImage& blocks) {
    RgbaImage image{2 * blocks.width, 2 * blocks.height, {}};
    image.pixels.resize(std::size_t(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) image.pixels[std::size_t(y) * image.width + x] = blocks.at(x / 2, y / 2);
    return image;
}

}  // namespace

BlockGrid horseBlockGrid(const HorseFormat& format) {
    return {(format.width + 1) / 2, (format.height + format.firstBlockRow + 1) / 2};
}

void layHorseBlocks(formats::Picture& picture, const HorseFormat& format, const RgbaImage& blocks) {
    for (int y = 0; y < blocks.height; ++y)
        for (int x = 0; x < blocks.width; ++x)
            if (const Rgba& p = blocks.at(x, y); p.a == 255 && !isHorseColour(p))
                throw std::runtime_error("block (" + std::to_string(x) + ", " + std::to_string(y) +
                                         ") has a colour outside the horse palette");
    // The first block row starts above the picture when its top edge cuts it.
    overlayOpaque(picture, doubled(blocks), 0, -format.firstBlockRow);
}

}  // namespace zelk::art::painter
