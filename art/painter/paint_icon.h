#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace zelk::art::painter {

// The window icon's three bitmap icon images, drawn from the icon folder of
// the art folder `artDir`, in the order of the icon group: 32 x 32 in two
// colours, 32 x 32 and 16 x 16 in sixteen.
std::vector<std::vector<std::uint8_t>> paintIcon(const std::filesystem::path& artDir);

}  // namespace zelk::art::painter
