#pragma once

#include "art/palette.h"

namespace zelk::painter {

inline constexpr Rgb kBodyOrange{255, 165, 90};
inline constexpr Rgb kDarkOrange{222, 107, 0};
inline constexpr Rgb kMuzzlePink{255, 231, 231};
inline constexpr Rgb kNostrilPink{255, 198, 198};
inline constexpr Rgb kEyeWhite{239, 239, 239};

// The only colours a horse picture may hold: its background, its outlines and
// the five of the horse itself.
inline constexpr Rgb kHorseColours[] = {
    palette::kLawnGreen, palette::kRoadBrown, palette::kOutlineBlack, kBodyOrange,
    kDarkOrange,         kMuzzlePink,         kNostrilPink,           kEyeWhite,
};

}  // namespace zelk::painter
