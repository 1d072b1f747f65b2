#pragma once

#include "formats/picture.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace zelk::art::painter {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
};

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;  // row-major from the top-left
    const Rgba& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// Renders an SVG document into a width x height raster without antialiasing,
// so every drawn pixel keeps the exact colour of its shape. Throws
// std::runtime_error on a file that does not parse.
RgbaImage rasterizeSvg(const std::filesystem::path& svg, int width, int height);

// Lays the opaque pixels of `layer` over `picture`; transparent ones leave it.
// A half-covered pixel means an edge was blended, which would put colours
// outside the palette into the picture, so it throws.
void overlayOpaque(formats::Picture& picture, const RgbaImage& layer, int dx = 0, int dy = 0);

}  // namespace zelk::art::painter
