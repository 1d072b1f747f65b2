#pragma once

#include "formats/picture.h"

namespace zelk::art::painter {

// Size and background of one horse picture. Everything but the outline row is
// made of 2 x 2 blocks; `firstBlockRow` is 1 when row 0 is the lower half of a
// block cut by the top edge.
struct HorseFormat {
    int width;
    int height;
    int outlineRow;  // lawn green above, road brown below
    int firstBlockRow;
};

// Poses 1 to 3, the pictures of `Img1`, `Img2` and `Img3`.
const HorseFormat& horseFormat(int pose);

formats::Picture horseBackground(const HorseFormat& format);

}  // namespace zelk::art::painter
