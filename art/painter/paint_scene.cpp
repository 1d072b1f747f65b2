#include "art/painter/paint.h"

#include "art/painter/scene_background.h"
#include "art/painter/scene_speckle.h"
#include "art/painter/svg_raster.h"

namespace zelk::art::painter {
namespace {

// The drawing holds each grainy area in one flat colour; these tables turn it
// into the speckled sun, the tinted clouds and the mottled bush.
// clang-format off
constexpr Tint kSunCore[] = {{{247, 247, 239}, 5}, {{255, 255, 231}, 3}, {{255, 255, 214}, 2}, {{255, 255, 247}, 2}};
constexpr Tint kSunPaleRing[] = {{{255, 255, 148}, 4}, {{255, 255, 165}, 3}, {{255, 255, 132}, 3}};
constexpr Tint kSunOuterRing[] = {{{255, 165, 90}, 4}, {{255, 198, 148}, 2}, {{247, 247, 0}, 2},
                                  {{255, 255, 90}, 2}, {{222, 222, 0}, 1}};
constexpr Tint kRayTips[] = {{{255, 222, 189}, 3}, {{255, 231, 206}, 2}, {{255, 239, 222}, 1}};
constexpr Tint kCloudTints[] = {{{231, 231, 231}, 24}, {{247, 247, 239}, 9}, {{239, 255, 231}, 9},
                                {{231, 231, 255}, 9},  {{247, 247, 247}, 9}, {{239, 239, 239}, 9},
                                {{255, 255, 255}, 9},  {{222, 222, 222}, 9}, {{239, 247, 255}, 9},
                                {{247, 255, 247}, 9}};
constexpr Tint kBushMottle[] = {{{90, 165, 0}, 6}, {{107, 198, 0}, 6}, {{49, 99, 0}, 4}, {{123, 214, 0}, 3}};
// clang-format on

constexpr formats::Rgb kCloudWhite{231, 231, 231};

// Each pass is limited to its object's box, so the same colour elsewhere
// (peach and yellow on the house, the bush green in the grass) stays flat.
// The seeds are arbitrary but for two pixels that must keep the flat colour:
// the sun's centre (389, 25) and the bush at (520, 100).
constexpr Speckle kSpeckles[] = {
    {365, 3, 414, 47, {247, 247, 239}, 1, 2, kSunCore},
    {365, 3, 414, 47, {255, 255, 148}, 1, 12, kSunPaleRing},
    {365, 3, 414, 47, {255, 165, 90}, 1, 13, kSunOuterRing},
    {365, 3, 414, 47, {255, 222, 189}, 1, 14, kRayTips},
    {318, 8, 372, 44, kCloudWhite, 1, 21, kCloudTints},
    {410, 9, 479, 38, kCloudWhite, 1, 22, kCloudTints},
    {492, 7, 520, 19, kCloudWhite, 1, 23, kCloudTints},
    {681, 2, 739, 27, kCloudWhite, 1, 24, kCloudTints},
    {483, 43, 566, 147, {90, 165, 0}, 2, 31, kBushMottle},
};

}  // namespace

formats::Picture paintScene(const std::filesystem::path& artDir) {
    formats::Picture scene = sceneBackground();
    overlayOpaque(scene, rasterizeSvg(artDir / "scene.svg", kSceneWidth, kSceneHeight));
    for (const Speckle& s : kSpeckles) applySpeckle(scene, s);
    return scene;
}

}  // namespace zelk::art::painter
