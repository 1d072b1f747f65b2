#pragma once

#include "formats/picture.h"

namespace zelk::art {

// Colours the scene and the horse pictures share, so a horse blends into the road.
inline constexpr formats::Rgb kLawnGreen{0, 247, 0};
inline constexpr formats::Rgb kRoadBrown{189, 148, 123};
inline constexpr formats::Rgb kOutlineBlack{0, 0, 0};
inline constexpr formats::Rgb kSkyCyan{0, 247, 247};

}  // namespace zelk::art
