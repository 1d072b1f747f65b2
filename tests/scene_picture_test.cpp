// Checks the painted scene bitmap against the fixed facts of the picture: the
// bands and road edges, the colour levels and counts, the colour shares, the
// objects' boxes and the house's parts. Everything is read from the bitmap
// the build wrote, so a change to the drawing that breaks a fact shows here.
#include "formats/picture_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <tuple>
#include <vector>

namespace zelk::tests {
namespace {

using formats::Picture;
using formats::readPictureRecord;
using formats::Rgb;

constexpr int kWidth = 742;
constexpr int kHeight = 424;

constexpr Rgb kSky{0, 247, 247};
constexpr Rgb kLawn{0, 247, 0};
constexpr Rgb kRoad{189, 148, 123};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kLeaf{123, 214, 0};
constexpr Rgb kBark{173, 132, 107};
constexpr Rgb kPeach{255, 198, 148};
constexpr Rgb kWallYellow{247, 247, 0};
constexpr Rgb kStepTan{214, 189, 165};
constexpr Rgb kOlive{165, 165, 0};
constexpr Rgb kPetalYellow{255, 255, 0};
constexpr Rgb kBirdRed{255, 0, 0};
constexpr Rgb kBalusterDark{123, 90, 74};
constexpr Rgb kBushGreens[] = {{107, 198, 0}, {49, 99, 0}, {90, 165, 0}};

// Inclusive rectangle in displayed coordinates.
struct Box {
    int x0, y0, x1, y1;
    bool contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
    bool contains(const Box& b) const { return contains(b.x0, b.y0) && contains(b.x1, b.y1); }
    friend bool operator==(const Box&, const Box&) = default;
};

std::ostream& operator<<(std::ostream& os, const Box& b) {
    return os << "x " << b.x0 << ".." << b.x1 << ", rows " << b.y0 << ".." << b.y1;
}
struct RgbOrder {
    bool operator()(const Rgb& a, const Rgb& b) const { return std::tie(a.r, a.g, a.b) < std::tie(b.r, b.g, b.b); }
};
using ColourSet = std::set<Rgb, RgbOrder>;

// The road's two ends, x 0 to 10 and x 741, have edges of their own; the
// RoadEnds test pins them pixel by pixel.
bool atARoadEnd(int x, int y) { return (x <= 10 || x == 741) && y >= 228 && y <= 366; }

// What the bare background shows at a pixel, before any object is drawn:
// sky, lawn, and between the ends the road with its top outline at row 230
// and its bottom outline at row 364, one row lower from x 378 on.
Rgb bareBackground(int x, int y) {
    if (y <= (x >= 739 ? 137 : 138)) return kSky;
    const int bottomOutline = x < 378 ? 364 : 365;
    if (y == 230 || y == bottomOutline) return kBlack;
    if (y > 230 && y < bottomOutline) return kRoad;
    return kLawn;
}

// Object boxes, outline included.
constexpr Box kCanopy{0, 0, 309, 121};
constexpr Box kTrunks[] = {{17, 48, 73, 143}, {97, 59, 175, 137}, {195, 40, 279, 135}};
constexpr Box kBird{162, 50, 189, 72};
constexpr Box kSmallFlowers{210, 122, 232, 148};
constexpr Box kSun{365, 3, 414, 47};
constexpr Box kClouds[] = {{318, 8, 372, 44}, {410, 9, 479, 38}, {492, 7, 520, 19}, {681, 2, 739, 27}};
constexpr Box kBush{483, 43, 566, 147};
constexpr Box kHouse{570, 0, 719, 143};
constexpr Box kLeftFlowers{134, 357, 179, 410};
constexpr Box kMiddleFlowersAndBee{321, 372, 370, 412};
constexpr Box kBee{321, 372, 346, 389};
constexpr Box kRightFlowers{574, 374, 619, 423};
constexpr int kCopyDx = 440, kCopyDy = 17;

class ScenePicture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::ifstream in(ZELK_ART_DIR "/scene.bmp", std::ios::binary);
        ASSERT_TRUE(in) << "no painted scene in " ZELK_ART_DIR;
        std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), {});
        // Frame the file as the form description stores it: magic, length, file.
        std::vector<std::uint8_t> record = {0x6C, 0x74, 0x00, 0x00};
        for (int i = 0; i < 4; ++i) record.push_back(std::uint8_t(file.size() >> (8 * i)));
        record.insert(record.end(), file.begin(), file.end());
        scene_ = new Picture(readPictureRecord(record));
    }
    static void TearDownTestSuite() {
        delete scene_;
        scene_ = nullptr;
    }

    static const Rgb& at(int x, int y) { return scene_->at(x, y); }

    // Smallest box around the pixels of `window` that `pick` accepts.
    static std::optional<Box> boundsOf(const Box& window, const std::function<bool(int, int, Rgb)>& pick) {
        std::optional<Box> b;
        for (int y = window.y0; y <= window.y1; ++y)
            for (int x = window.x0; x <= window.x1; ++x) {
                if (!pick(x, y, at(x, y))) continue;
                if (!b) b = Box{x, y, x, y};
                b = Box{std::min(b->x0, x), std::min(b->y0, y), std::max(b->x1, x), std::max(b->y1, y)};
            }
        return b;
    }
    static std::optional<Box> boundsOfColours(const Box& window, ColourSet colours) {
        return boundsOf(window, [&](int, int, Rgb c) { return colours.count(c) > 0; });
    }
    static std::optional<Box> drawnBounds(const Box& window) {
        return boundsOf(window, [](int x, int y, Rgb c) { return c != bareBackground(x, y); });
    }
    static ColourSet coloursIn(const Box& b) {
        ColourSet out;
        for (int y = b.y0; y <= b.y1; ++y)
            for (int x = b.x0; x <= b.x1; ++x) out.insert(at(x, y));
        return out;
    }
    static bool allOf(const Box& b, Rgb colour) { return coloursIn(b) == ColourSet{colour}; }

    static Picture* scene_;
};
Picture* ScenePicture::scene_ = nullptr;

TEST_F(ScenePicture, HasTheSceneSize) {
    EXPECT_EQ(scene_->width, kWidth);
    EXPECT_EQ(scene_->height, kHeight);
}

TEST_F(ScenePicture, EverythingOutsideTheObjectsIsTheBareBackground) {
    const std::vector<Box> objects = {kCanopy,
                                      kTrunks[0],
                                      kTrunks[1],
                                      kTrunks[2],
                                      kBird,
                                      kSmallFlowers,
                                      kSun,
                                      kClouds[0],
                                      kClouds[1],
                                      kClouds[2],
                                      kClouds[3],
                                      kBush,
                                      kHouse,
                                      kLeftFlowers,
                                      kMiddleFlowersAndBee,
                                      kRightFlowers};
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (atARoadEnd(x, y) ||
                std::any_of(objects.begin(), objects.end(), [&](const Box& b) { return b.contains(x, y); }))
                continue;
            if (at(x, y) != bareBackground(x, y) && ++wrong <= 5)
                ADD_FAILURE() << "(" << x << ", " << y << ") is " << at(x, y) << ", not " << bareBackground(x, y);
        }
    EXPECT_EQ(wrong, 0);
}

TEST_F(ScenePicture, LawnBetweenHorizonAndRoadHoldsOnlyFourGrassPixels) {
    std::vector<std::pair<int, int>> grass;
    for (int y = 148; y <= 228; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (at(x, y) != kLawn) grass.emplace_back(x, y);
    ASSERT_EQ(grass.size(), 4u);
    for (auto [x, y] : grass) EXPECT_TRUE(kSmallFlowers.contains(x, y)) << x << ", " << y;
}

TEST_F(ScenePicture, RoadEndsHaveTheirOwnEdges) {
    struct Column {
        int x;
        std::vector<std::pair<int, Rgb>> rows;  // row, colour
    };
    // clang-format off
    const Column columns[] = {
        {0, {{229, kLawn}, {230, kRoad}, {231, kRoad}, {232, kBlack},
              {233, kRoad}, {364, kRoad}, {365, kBlack}, {366, kLawn}}},
        {1, {{229, kLawn}, {230, kRoad}, {364, kRoad}, {365, kBlack}, {366, kLawn}}},
        {5, {{229, kLawn}, {230, kRoad}, {232, kRoad}, {364, kRoad}, {365, kBlack}, {366, kLawn}}},
        {6, {{228, kLawn}, {229, kBlack}, {230, kRoad}, {364, kRoad}, {365, kBlack}, {366, kLawn}}},
        {7, {{228, kLawn}, {229, kBlack}, {230, kRoad}, {363, kRoad}, {364, kBlack}, {365, kBlack}, {366, kLawn}}},
        {8, {{228, kLawn}, {229, kBlack}, {230, kRoad}, {363, kRoad}, {364, kBlack}, {365, kBlack}, {366, kLawn}}},
        {9, {{228, kLawn}, {229, kBlack}, {230, kRoad}, {363, kRoad}, {364, kBlack}, {365, kLawn}}},
        {10, {{228, kLawn}, {229, kBlack}, {230, kBlack}, {231, kRoad}, {363, kRoad}, {364, kBlack}, {365, kLawn}}},
        {11, {{229, kLawn}, {230, kBlack}, {231, kRoad}, {363, kRoad}, {364, kBlack}, {365, kLawn}}},
        {377, {{229, kLawn}, {230, kBlack}, {231, kRoad}, {363, kRoad}, {364, kBlack}, {365, kLawn}}},
        {378, {{229, kLawn}, {230, kBlack}, {231, kRoad}, {364, kRoad}, {365, kBlack}, {366, kLawn}}},
        {740, {{229, kLawn}, {230, kBlack}, {231, kRoad}, {364, kRoad}, {365, kBlack}, {366, kLawn}}},
        {741, {{229, kLawn}, {230, kBlack}, {231, kBlack}, {232, kRoad},
              {363, kRoad}, {364, kBlack}, {365, kBlack}, {366, kLawn}}},
    };
    // clang-format on
    for (const Column& c : columns)
        for (const auto& [y, colour] : c.rows) EXPECT_EQ(at(c.x, y), colour) << "at (" << c.x << ", " << y << ")";
}

TEST_F(ScenePicture, LeftFlowersReachOverTheRoadOnlyWhereAllowed) {
    // Over the fill's lowest rows only x 137..175; the outline row is open to the whole box.
    EXPECT_EQ(drawnBounds({11, 231, kWidth - 2, 363}), (Box{137, 357, 175, 363}));
    const Box outlineRow{11, 364, kWidth - 2, 364};
    EXPECT_TRUE((Box{134, 364, 179, 364}).contains(*drawnBounds(outlineRow)));
}

TEST_F(ScenePicture, UsesOnlyFiveBitLevelsAndFiftyFourColours) {
    std::set<std::uint8_t> levels;
    for (int a = 0; a < 32; ++a) levels.insert(std::uint8_t(8 * a + a / 4));
    ColourSet colours(scene_->pixels.begin(), scene_->pixels.end());
    for (const Rgb& c : colours)
        EXPECT_TRUE(levels.count(c.r) && levels.count(c.g) && levels.count(c.b)) << c << " is off the levels";
    EXPECT_EQ(colours.size(), 54u);
}

TEST_F(ScenePicture, MainColoursKeepTheirShares) {
    struct Share {
        const char* name;
        std::vector<Rgb> colours;
        double percent;
    };
    // clang-format off
    const Share table[] = {
        {"lawn green", {kLawn}, 33.67},          {"road brown", {kRoad}, 31.44},
        {"sky cyan", {kSky}, 13.35},             {"leaf green", {kLeaf}, 8.02},
        {"outline black", {kBlack}, 4.17},       {"bark brown", {kBark}, 1.88},
        {"peach", {kPeach}, 1.23},               {"wall yellow", {kWallYellow}, 1.18},
        {"bush greens", {std::begin(kBushGreens), std::end(kBushGreens)}, 1.4},
        {"step tan", {kStepTan}, 0.40},          {"flower grey", {{57, 57, 57}}, 0.40},
        {"window olive", {kOlive}, 0.28},        {"magenta", {{247, 0, 247}}, 0.28},
        {"cloud white", {{231, 231, 231}}, 0.28}, {"petal yellow", {kPetalYellow}, 0.24},
    };
    // clang-format on
    std::map<Rgb, int, RgbOrder> count;
    for (const Rgb& c : scene_->pixels) ++count[c];
    const double total = double(kWidth) * kHeight;

    ColourSet main;
    for (const Share& s : table) {
        int n = 0;
        for (const Rgb& c : s.colours) {
            n += count[c];
            main.insert(c);
        }
        EXPECT_NEAR(100.0 * n / total, s.percent, s.percent / 10) << s.name;
    }
    for (const auto& [colour, n] : count)
        if (!main.count(colour)) {
            EXPECT_LT(100.0 * n / total, 0.2) << colour << " is not a main colour";
        }
}

TEST_F(ScenePicture, SamplePixelsShowTheirBandOrObject) {
    struct Probe {
        int x, y;
        Rgb colour;
    };
    // clang-format off
    const Probe probes[] = {
        {0, 0, kSky},       {741, 0, kSky},           {0, 423, kLawn},         {741, 423, kLawn},
        {370, 200, kLawn},  {500, 230, kBlack},       {370, 300, kRoad},       {100, 100, kLeaf},
        {175, 60, kBirdRed}, {520, 100, {90, 165, 0}}, {600, 60, kWallYellow}, {389, 25, {247, 247, 239}},
    };
    // clang-format on
    for (const Probe& p : probes) EXPECT_EQ(at(p.x, p.y), p.colour) << "at (" << p.x << ", " << p.y << ")";
}

// The canopy runs off the top edge in four places, and the roof's apex in one.
TEST_F(ScenePicture, TopRowShowsCanopyAndRoofWhereTheyLeaveThePicture) {
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < kWidth; ++x) {
        if (at(x, 0) == kSky) continue;
        if (!runs.empty() && runs.back().second == x - 1)
            runs.back().second = x;
        else
            runs.emplace_back(x, x);
    }
    const std::vector<std::pair<int, int>> expected = {{19, 29}, {39, 43}, {47, 87}, {175, 290}, {637, 651}};
    EXPECT_EQ(runs, expected);
}

TEST_F(ScenePicture, DrawnObjectsFillTheirBoxesExactly) {
    // Each window holds one object and nothing else drawn.
    struct Case {
        const char* name;
        Box window;
        Box box;
    };
    const Case cases[] = {
        {"bush", {481, 30, 568, 160}, kBush},
        {"left flower pair", {100, 340, 250, 423}, kLeftFlowers},
        {"middle flower pair and bee", {290, 360, 420, 423}, kMiddleFlowersAndBee},
        {"bee", {300, 360, 346, 400}, kBee},
        {"right flower pair", {540, 360, 700, 423}, kRightFlowers},
    };
    for (const Case& c : cases) EXPECT_EQ(drawnBounds(c.window), c.box) << c.name;

    // The house shares its window with the top-right cloud; leave that box out.
    EXPECT_EQ(boundsOf({568, 0, 722, 150},
                       [](int x, int y, Rgb c) { return !kClouds[3].contains(x, y) && c != bareBackground(x, y); }),
              kHouse);
    EXPECT_EQ(boundsOf({0, 0, 316, 138}, [](int, int, Rgb c) { return c != kSky; })->x1, kCanopy.x1);
}

TEST_F(ScenePicture, SunAndCloudsFillTheirBoxes) {
    // Clouds are near-white tints and greys, with short black outline pieces;
    // the sun's colours are all warmer than that.
    auto cloudy = [](int, int, Rgb c) {
        const int lo = std::min({c.r, c.g, c.b}), hi = std::max({c.r, c.g, c.b});
        return lo >= 165 && hi - lo <= 24;
    };
    EXPECT_EQ(
        boundsOf({340, 0, 440, 60}, [&](int x, int y, Rgb c) { return c != kSky && c != kBlack && !cloudy(x, y, c); }),
        kSun);
    // Its rings are speckled: the outer one mixes all five of its colours.
    const ColourSet outerRing = {{255, 165, 90}, kPeach, kWallYellow, {255, 255, 90}, {222, 222, 0}};
    ColourSet seen;
    for (int y = kSun.y0; y <= kSun.y1; ++y)
        for (int x = kSun.x0; x <= kSun.x1; ++x) {
            const int dx = x - 389, dy = y - 25, d2 = dx * dx + dy * dy;
            if (d2 >= 12 * 12 && d2 <= 19 * 19 && outerRing.count(at(x, y))) seen.insert(at(x, y));
        }
    EXPECT_EQ(seen, outerRing);

    const Box windows[] = {{312, 0, 380, 60}, {405, 0, 485, 60}, {486, 0, 530, 30}, {681, 0, 741, 28}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(boundsOf(windows[i], cloudy), kClouds[i]) << "cloud " << i;
        EXPECT_TRUE(coloursIn(kClouds[i]).count({231, 231, 231})) << "cloud " << i;
    }
}

TEST_F(ScenePicture, TreesBirdAndBushUseTheirColours) {
    const Box canopyWindow{0, 0, 316, 138};
    EXPECT_TRUE(kCanopy.contains(*boundsOfColours(canopyWindow, {kLeaf})));
    // Sky shows under the canopy between the trunks.
    EXPECT_EQ(at(85, 125), kSky);
    EXPECT_EQ(at(185, 125), kSky);

    // A trunk's bark lies inside its box, within the outline's width of each side.
    const Box trunkWindows[] = {{0, 0, 85, 150}, {86, 0, 185, 150}, {186, 0, 320, 150}};
    for (int i = 0; i < 3; ++i) {
        const Box bark = *boundsOfColours(trunkWindows[i], {kBark});
        const Box& box = kTrunks[i];
        EXPECT_TRUE(box.contains(bark)) << "trunk " << i << ": " << bark;
        EXPECT_LE(bark.x0 - box.x0, 3) << "trunk " << i;
        EXPECT_LE(box.x1 - bark.x1, 3) << "trunk " << i;
        EXPECT_LE(bark.y0 - box.y0, 3) << "trunk " << i;
        EXPECT_LE(box.y1 - bark.y1, 3) << "trunk " << i;
    }

    const Box bird = *boundsOfColours({150, 40, 200, 80}, {kBirdRed, kPetalYellow, {255, 255, 255}});
    EXPECT_TRUE(kBird.contains(bird)) << bird;
    EXPECT_LE(bird.x0 - kBird.x0 + kBird.x1 - bird.x1 + bird.y0 - kBird.y0 + kBird.y1 - bird.y1, 6) << bird;

    const ColourSet bush = coloursIn(kBush);
    for (const Rgb& c : kBushGreens) EXPECT_TRUE(bush.count(c)) << c;
    EXPECT_TRUE(bush.count(kLeaf));

    // The small pair stands in front of the right trunk: pick it by its own colours.
    EXPECT_EQ(
        boundsOf({200, 118, 240, 150},
                 [](int, int, Rgb c) { return c != kSky && c != kLawn && c != kBark && c != kBlack && c != kLeaf; }),
        kSmallFlowers);
}

TEST_F(ScenePicture, RightFlowerPairIsTheLeftOneMoved) {
    int compared = 0;
    for (int y = kLeftFlowers.y0; y <= kLeftFlowers.y1 && y + kCopyDy < kHeight; ++y)
        for (int x = kLeftFlowers.x0; x <= kLeftFlowers.x1; ++x) {
            const Rgb left = at(x, y), right = at(x + kCopyDx, y + kCopyDy);
            if (left == bareBackground(x, y) && right == kLawn) continue;
            ++compared;
            EXPECT_EQ(right, left) << "left pair at (" << x << ", " << y << ")";
        }
    EXPECT_GT(compared, 500);
}

TEST_F(ScenePicture, BeeHasStripesAndWings) {
    const ColourSet bee = coloursIn(kBee);
    for (const Rgb& c : {kBlack, kPetalYellow, Rgb{206, 206, 206}, Rgb{255, 255, 198}}) EXPECT_TRUE(bee.count(c)) << c;
}

// --- the house, part by part ---

bool isRed(const Rgb& c) { return c.r >= 198 && c.g == 0 && c.b == 0; }

TEST_F(ScenePicture, HouseRoofAndWalls) {
    const Box roofWindow{565, 0, 722, 80};
    const Box attic{630, 34, 656, 60};
    auto slope = [&](Rgb red) {
        return *boundsOf(roofWindow, [&](int x, int y, Rgb c) { return c == red && !attic.contains(x, y); });
    };
    const Box left = slope({222, 0, 0}), right = slope({198, 0, 0});
    EXPECT_LE(left.x1, 644);
    EXPECT_GE(right.x0, 645);
    EXPECT_LE(left.x0, 574);
    EXPECT_GE(right.x1, 714);
    for (const Box& s : {left, right}) {
        EXPECT_EQ(s.y0, 0);
        EXPECT_NEAR(s.y1, 68, 2);
    }
    EXPECT_EQ(boundsOfColours(kHouse, {kWallYellow, kPeach}), (Box{577, 4, 711, 118}));
    // Streaked: both colours show on the wall in good measure.
    int yellow = 0, peach = 0;
    for (int y = 4; y <= 118; ++y)
        for (int x = 577; x <= 711; ++x) {
            yellow += at(x, y) == kWallYellow;
            peach += at(x, y) == kPeach;
        }
    EXPECT_GT(std::min(yellow, peach), 2000);
}

// Counts the olive panes inside a window box; each must be a solid rectangle.
std::vector<Box> panesIn(const Picture& p, const Box& box) {
    std::vector<Box> panes;
    std::vector<bool> seen(std::size_t(p.width) * p.height);
    for (int y = box.y0; y <= box.y1; ++y)
        for (int x = box.x0; x <= box.x1; ++x) {
            if (p.at(x, y) != kOlive || seen[std::size_t(y) * p.width + x]) continue;
            int x1 = x, y1 = y;
            while (x1 + 1 <= box.x1 && p.at(x1 + 1, y) == kOlive) ++x1;
            while (y1 + 1 <= box.y1 && p.at(x, y1 + 1) == kOlive) ++y1;
            for (int yy = y; yy <= y1; ++yy)
                for (int xx = x; xx <= x1; ++xx) seen[std::size_t(yy) * p.width + xx] = true;
            panes.push_back({x, y, x1, y1});
        }
    return panes;
}

TEST_F(ScenePicture, HouseWindowsHaveFourPanesInABlackFrame) {
    struct Window {
        const char* name;
        Box frame;
    };
    const Window windows[] = {{"attic", {632, 36, 654, 58}},
                              {"left ground floor", {592, 84, 614, 100}},
                              {"right ground floor", {677, 84, 699, 100}}};
    for (const Window& w : windows) {
        const std::vector<Box> panes = panesIn(*scene_, w.frame);
        ASSERT_EQ(panes.size(), 4u) << w.name;
        for (const Box& b : panes) {
            EXPECT_EQ(b.x1 - b.x0 + 1, 10) << w.name;
            EXPECT_EQ(b.y1 - b.y0 + 1, 7) << w.name;
        }
        EXPECT_EQ(coloursIn(w.frame), (ColourSet{kBlack, kOlive})) << w.name;
        EXPECT_TRUE(allOf({w.frame.x0, w.frame.y0, w.frame.x1, w.frame.y0}, kBlack)) << w.name;
        EXPECT_TRUE(allOf({w.frame.x0, w.frame.y1, w.frame.x1, w.frame.y1}, kBlack)) << w.name;
    }
    // The attic window's red lintel and sill.
    for (const Box& b : {Box{630, 34, 656, 35}, Box{630, 59, 656, 60}})
        for (const Rgb& c : coloursIn(b)) EXPECT_TRUE(isRed(c)) << b;
}

TEST_F(ScenePicture, HouseDoor) {
    const Box frame{630, 84, 661, 118};
    EXPECT_EQ(boundsOf({620, 75, 670, 119}, [](int, int, Rgb c) { return isRed(c); }), frame);
    EXPECT_EQ(boundsOfColours(frame, {kStepTan}), (Box{635, 89, 656, 118}));
    EXPECT_EQ(boundsOfColours(frame, {kOlive}), (Box{640, 94, 651, 100}));
    EXPECT_EQ(panesIn(*scene_, frame).size(), 4u);
    EXPECT_EQ(boundsOfColours(frame, {kBark}), (Box{640, 109, 651, 118}));
}

TEST_F(ScenePicture, HousePorchRailingsBaseAndSteps) {
    const Box railings[] = {{572, 111, 616, 128}, {675, 111, 716, 128}};
    EXPECT_EQ(boundsOfColours(kHouse, {kBalusterDark})->y0, 111 + 2);
    for (const Box& r : railings) {
        const ColourSet colours = coloursIn(r);
        for (const Rgb& c : {kBalusterDark, kBark, kStepTan, kBlack}) EXPECT_TRUE(colours.count(c)) << r << " " << c;
        bool rail = false;
        for (int y = r.y0; y <= r.y1; ++y) rail = rail || allOf({r.x0, y, r.x1, y}, kBlack);
        EXPECT_TRUE(rail) << "no black rail across " << r;
    }
    for (int y = 111; y <= 128; ++y)
        for (int x = kHouse.x0; x <= kHouse.x1; ++x)
            if (at(x, y) == kBalusterDark) {
                EXPECT_TRUE(railings[0].contains(x, y) || railings[1].contains(x, y)) << x << ", " << y;
            }

    EXPECT_TRUE(allOf({571, 131, 615, 138}, kBark));
    EXPECT_TRUE(allOf({676, 131, 718, 138}, kBark));

    // Step tan below the door lies on the three steps only.
    const Box steps[] = {{620, 121, 671, 128}, {620, 131, 671, 133}, {617, 136, 674, 140}};
    const Box stepsWindow{616, 119, 675, 143};  // between the railings
    for (int y = stepsWindow.y0; y <= stepsWindow.y1; ++y)
        for (int x = stepsWindow.x0; x <= stepsWindow.x1; ++x)
            if (at(x, y) == kStepTan) {
                EXPECT_TRUE(
                    std::any_of(std::begin(steps), std::end(steps), [&](const Box& s) { return s.contains(x, y); }))
                    << x << ", " << y;
            }
    for (const Box& s : steps) {
        const Box tan = *boundsOfColours(s, {kStepTan});
        EXPECT_EQ(tan.x0, s.x0) << s;
        EXPECT_EQ(tan.x1, s.x1) << s;
        EXPECT_EQ(tan.y1, s.y1) << s;
    }
}

}  // namespace
}  // namespace zelk::tests
