#pragma once

#include <string_view>

namespace zelk::art {

// The painted icon images in the art folder, in the order of the icon group:
// 32 x 32 in two colours, 32 x 32 and 16 x 16 in sixteen.
inline constexpr std::string_view kIconArtFiles[] = {"icon-32-mono.bin", "icon-32.bin", "icon-16.bin"};

}  // namespace zelk::art
