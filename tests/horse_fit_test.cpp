// Each pose shown in the window at every place a sequence puts it: its
// outline row lands on one client row next to the scene's road outline, and
// nothing else of its box shows against the scene.
#include "qt_support.h"

#include <set>

namespace zelk::tests {
namespace {

const QRgb kLawn = qRgb(0, 247, 0), kRoad = qRgb(189, 148, 123), kBlack = qRgb(0, 0, 0);
constexpr int kSceneOutlineRow = 230;

struct Pose {
    const char* name;
    int offset;  // twips added to MovePos when the gallop places it
};

using HorseFit = ProgramWindow;

TEST_F(HorseFit, OutlineRowMeetsTheRoadAtEveryPlaceOfEverySequence) {
    const QImage scene = paintedBitmap(ZELK_ART_DIR "/scene.bmp");
    for (const char* name : {"Img1", "Img2", "Img3"}) image(name).putVisible(0);

    for (const Pose& pose : {Pose{"Img1", 0}, Pose{"Img2", 100}, Pose{"Img3", 200}}) {
        runtime::ImageControl& control = image(pose.name);
        control.putVisible(-1);
        std::set<int> outlineRows;
        for (int movePos = 0; movePos <= 8000; movePos += 400) {
            SCOPED_TRACE(std::string(pose.name) + " at Left " + std::to_string(movePos + pose.offset));
            control.putLeft(float(movePos + pose.offset));
            const QImage shot = shown();
            const runtime::PixelRect box = control.box();
            ASSERT_EQ(box.width, 153);
            ASSERT_EQ(box.height, 153);

            // Columns where the horse leaves the road's outline alone show it as one black row.
            int outline = -1, outlineColumns = 0;
            for (int x = std::max(box.x, 11); x < box.x + box.width; ++x) {
                // Lawn, one black row, then road: nothing of the horse in the way.
                int row = -1;
                bool plain = shot.pixel(x, 226) == kLawn && shot.pixel(x, 234) == kRoad;
                for (int y = 227; y < 234 && plain; ++y) {
                    const QRgb p = shot.pixel(x, y), above = shot.pixel(x, y - 1);
                    if (p == kBlack)
                        plain = above == kLawn, row = y;
                    else if (p == kRoad)
                        plain = above == kBlack || above == kRoad;
                    else
                        plain = p == kLawn && above == kLawn;
                }
                if (!plain || row < 0) continue;
                ++outlineColumns;
                outlineRows.insert(row);
                outline = row;
                EXPECT_LE(std::abs(row - kSceneOutlineRow), 1) << "column " << x;
            }
            ASSERT_GE(outlineColumns, 1) << "no column where the outline row shows";

            // Along the box's edges its background continues the scene's, but for the step
            // between the two outline rows.
            auto continuesScene = [&](int x, int y) {
                const QRgb p = shot.pixel(x, y);
                if (p != kLawn && p != kRoad) return true;  // the horse, or an outline
                const bool step = y >= std::min(outline, kSceneOutlineRow) && y <= std::max(outline, kSceneOutlineRow);
                return step || p == scene.pixel(x, y);
            };
            for (int x = box.x; x < box.x + box.width; ++x)
                for (int y : {box.y, box.y + box.height - 1})
                    EXPECT_TRUE(continuesScene(x, y)) << "box edge shows at " << x << "," << y;
            for (int y = box.y; y < box.y + box.height; ++y)
                for (int x : {box.x, box.x + box.width - 1})
                    if (x >= 11) {
                        EXPECT_TRUE(continuesScene(x, y)) << "box edge shows at " << x << "," << y;
                    }
        }
        EXPECT_EQ(outlineRows.size(), 1u) << pose.name << "'s outline lands on one client row everywhere";
        control.putVisible(0);
    }
}

}  // namespace
}  // namespace zelk::tests
