#pragma once

#include "formats/picture.h"

#include <filesystem>

namespace zelk::painter {

// The finished pictures, drawn from the art sources in `assetsDir`.
Picture paintScene(const std::filesystem::path& assetsDir);
Picture paintHorse(int pose, const std::filesystem::path& assetsDir);

}  // namespace zelk::painter
