#pragma once

#include "formats/picture.h"

#include <filesystem>

namespace zelk::art::painter {

// The finished pictures, drawn from the art sources in `artDir`.
formats::Picture paintScene(const std::filesystem::path& artDir);
formats::Picture paintHorse(int pose, const std::filesystem::path& artDir);

}  // namespace zelk::art::painter
