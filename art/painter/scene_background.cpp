#include "art/painter/scene_background.h"

#include "art/palette.h"

namespace zelk::art::painter {
namespace {

using namespace zelk::art;

// The road's rows column by column; its ends are irregular where it meets the
// picture's edges. A `topLast` below `topFirst` means no top outline.
struct RoadColumns {
    int x0, x1;
    int topFirst, topLast;
    int fillFirst, fillLast;
    int bottomFirst, bottomLast;
};

constexpr RoadColumns kRoadEdges[] = {
    {0, 0, 230, 229, 230, 364, 365, 365},
    {1, 5, 230, 229, 230, 364, 365, 365},
    {6, 6, 229, 229, 230, 364, 365, 365},
    {7, 8, 229, 229, 230, 363, 364, 365},
    {9, 9, 229, 229, 230, 363, 364, 364},
    {10, 10, 229, 230, 231, 363, 364, 364},
    {11, 377, 230, 230, 231, 363, 364, 364},
    {378, 740, 230, 230, 231, 364, 365, 365},
    {741, 741, 230, 231, 232, 363, 364, 365},
};

constexpr int kSkyLastRow = 138;
constexpr int kSkyLastRowAtRightEdge = 137;  // x 739 to 741
constexpr int kRightEdgeSkyFrom = 739;

void fillColumn(formats::Picture& p, int x, int first, int last, formats::Rgb colour) {
    for (int y = first; y <= last; ++y) p.at(x, y) = colour;
}

}  // namespace

formats::Picture sceneBackground() {
    formats::Picture scene(kSceneWidth, kSceneHeight, kLawnGreen);
    for (int x = 0; x < kSceneWidth; ++x)
        fillColumn(scene, x, 0, x >= kRightEdgeSkyFrom ? kSkyLastRowAtRightEdge : kSkyLastRow, kSkyCyan);
    for (const RoadColumns& c : kRoadEdges) {
        for (int x = c.x0; x <= c.x1; ++x) {
            fillColumn(scene, x, c.topFirst, c.topLast, kOutlineBlack);
            fillColumn(scene, x, c.fillFirst, c.fillLast, kRoadBrown);
            fillColumn(scene, x, c.bottomFirst, c.bottomLast, kOutlineBlack);
        }
    }
    scene.at(0, 232) = kOutlineBlack;  // the stray outline pixel at the road's left end
    return scene;
}

}  // namespace zelk::art::painter
