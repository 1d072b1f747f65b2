#pragma once

#include "formats/picture.h"

namespace zelk::art::painter {

inline constexpr int kSceneWidth = 742;
inline constexpr int kSceneHeight = 424;

// The flat sky, lawn and road bands with the road's outlines, exact to the
// pixel; the drawing goes on top of this.
formats::Picture sceneBackground();

}  // namespace zelk::art::painter
