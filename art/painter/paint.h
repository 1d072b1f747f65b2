#pragma once

#include "formats/picture.h"

#include <filesystem>

namespace zelk::art::painter {

// The finished pictures, drawn from the art sources in `assetsDir`.
formats::Picture paintScene(const std::filesystem::path& assetsDir);
formats::Picture paintHorse(int pose, const std::filesystem::path& assetsDir);

}  // namespace zelk::art::painter
