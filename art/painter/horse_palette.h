#pragma once

#include "art/palette.h"

namespace zelk::art::painter {

inline constexpr formats::Rgb kBodyOrange{255, 165, 90};
inline constexpr formats::Rgb kDarkOrange{222, 107, 0};
inline constexpr formats::Rgb kMuzzlePink{255, 231, 231};
inline constexpr formats::Rgb kNostrilPink{255, 198, 198};
inline constexpr formats::Rgb kEyeWhite{239, 239, 239};

// The only colours a horse picture may hold: its background, its outlines and
// the five of the horse itself.
// clang-format off
inline constexpr formats::Rgb kHorseColours[] = {
    art::kLawnGreen, art::kRoadBrown, art::kOutlineBlack, kBodyOrange,
    kDarkOrange,         kMuzzlePink,         kNostrilPink,           kEyeWhite,
};
// clang-format on

}  // namespace zelk::art::painter
