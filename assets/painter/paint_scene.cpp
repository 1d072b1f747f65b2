#include "paint.h"

#include "scene_background.h"
#include "svg_raster.h"

namespace zelk::painter {

Picture paintScene(const std::filesystem::path& assetsDir) {
    Picture scene = sceneBackground();
    const auto svg = assetsDir / "scene.svg";
    if (std::filesystem::exists(svg)) overlayOpaque(scene, rasterizeSvg(svg, kSceneWidth, kSceneHeight));
    return scene;
}

}  // namespace zelk::painter
