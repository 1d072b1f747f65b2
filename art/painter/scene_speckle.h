#pragma once

#include "formats/picture.h"

#include <cstdint>
#include <span>

namespace zelk::art::painter {

struct Tint {
    formats::Rgb colour;
    int weight;
};

// Scatters tints over the pixels of one flat colour inside a box, so a ring of
// the sun or a cloud looks grainy while every pixel keeps a palette colour.
// The choice is a hash of the cell, so the picture is the same on every build.
struct Speckle {
    int x0, y0, x1, y1;  // inclusive box
    formats::Rgb base;   // only pixels of this colour change
    int grain;           // cell size in pixels: 1 speckles, 2 and up mottles
    std::uint32_t seed;
    std::span<const Tint> tints;
};

void applySpeckle(formats::Picture& picture, const Speckle& speckle);

}  // namespace zelk::art::painter
