#include "art/painter/paint.h"

#include "art/painter/horse_background.h"
#include "art/painter/horse_blocks.h"
#include "art/painter/svg_raster.h"

#include <stdexcept>
#include <string>

namespace zelk::art::painter {

formats::Picture paintHorse(int pose, const std::filesystem::path& artDir) {
    const HorseFormat& format = horseFormat(pose);
    const BlockGrid grid = horseBlockGrid(format);
    formats::Picture picture = horseBackground(format);
    const auto svg = artDir / "horse" / ("img" + std::to_string(pose) + ".svg");
    try {
        layHorseBlocks(picture, format, rasterizeSvg(svg, grid.columns, grid.rows));
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(svg.string() + ": " + e.what());
    }
    return picture;
}

}  // namespace zelk::art::painter
