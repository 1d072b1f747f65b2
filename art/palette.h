#pragma once

#include "formats/picture.h"

namespace zelk::palette {

// Colours the scene and the horse pictures share, so a horse blends into the road.
inline constexpr Rgb kLawnGreen{0, 247, 0};
inline constexpr Rgb kRoadBrown{189, 148, 123};
inline constexpr Rgb kOutlineBlack{0, 0, 0};
inline constexpr Rgb kSkyCyan{0, 247, 247};

}  // namespace zelk::palette
