#include "art/painter/horse_background.h"

#include "art/palette.h"

#include <stdexcept>

namespace zelk::art::painter {
namespace {

constexpr HorseFormat kFormats[] = {
    {161, 164, 65, 1},
    {169, 171, 65, 1},
    {172, 169, 62, 0},
};

}  // namespace

const HorseFormat& horseFormat(int pose) {
    if (pose < 1 || pose > 3) throw std::out_of_range("horse pose must be 1, 2 or 3");
    return kFormats[pose - 1];
}

formats::Picture horseBackground(const HorseFormat& format) {
    using namespace zelk::art;
    formats::Picture picture(format.width, format.height, kLawnGreen);
    for (int y = format.outlineRow; y < format.height; ++y)
        for (int x = 0; x < format.width; ++x) picture.at(x, y) = y == format.outlineRow ? kOutlineBlack : kRoadBrown;
    return picture;
}

}  // namespace zelk::art::painter
