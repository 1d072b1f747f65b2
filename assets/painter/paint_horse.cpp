#include "paint.h"

#include "horse_background.h"
#include "horse_blocks.h"
#include "svg_raster.h"

#include <string>

namespace zelk::painter {

Picture paintHorse(int pose, const std::filesystem::path& assetsDir) {
    const HorseFormat& format = horseFormat(pose);
    const BlockGrid grid = horseBlockGrid(format);
    Picture picture = horseBackground(format);
    const auto svg = assetsDir / "horse" / ("img" + std::to_string(pose) + ".svg");
    layHorseBlocks(picture, format, rasterizeSvg(svg, grid.columns, grid.rows));
    return picture;
}

}  // namespace zelk::painter
