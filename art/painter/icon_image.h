#pragma once

#include "art/painter/svg_raster.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zelk::art::painter {

// A bitmap icon image of `drawing`: 40-byte header with the height counted
// twice, the colour table, the colour rows and then the 1-bit mask rows, both
// bottom row first. Transparent pixels lie outside the drawing: mask 1 over
// colour `outside`. `colours` has 2, 16 or 256 entries, and every opaque pixel
// must be one of them exactly; anything else throws std::runtime_error.
std::vector<std::uint8_t> encodeIconImage(const RgbaImage& drawing, std::span<const formats::Rgb> colours,
                                          std::uint8_t outside);

}  // namespace zelk::art::painter
