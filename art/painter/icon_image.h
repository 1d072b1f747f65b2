#pragma once

#include "art/painter/svg_raster.h"
#include "formats/icon_image.h"

#include <cstdint>
#include <span>

namespace zelk::art::painter {

// `drawing` as a bitmap icon image over `colours` (2, 16 or 256 entries).
// Transparent pixels lie outside the drawing: mask 1 over colour `outside`.
// Every opaque pixel must be one of `colours` exactly; anything else throws
// std::runtime_error naming the pixel.
formats::IconImage iconImageOf(const RgbaImage& drawing, std::span<const formats::Rgb> colours, std::uint8_t outside);

}  // namespace zelk::art::painter
