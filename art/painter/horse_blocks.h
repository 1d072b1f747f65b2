#pragma once

#include "art/painter/horse_background.h"
#include "art/painter/svg_raster.h"

namespace zelk::art::painter {

// A horse is drawn one SVG unit per 2 x 2 block of its picture; this many
// blocks cover the picture, cut blocks at the edges included.
struct BlockGrid {
    int columns;
    int rows;
};

BlockGrid horseBlockGrid(const HorseFormat& format);

// Lays every opaque block of `blocks` over `picture` as 2 x 2 pixels on the
// picture's grid; transparent blocks leave the background. Throws
// std::runtime_error on a block whose colour the horse pictures do not use.
void layHorseBlocks(formats::Picture& picture, const HorseFormat& format, const RgbaImage& blocks);

}  // namespace zelk::art::painter
