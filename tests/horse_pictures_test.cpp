// The three painted horse bitmaps, checked from their pixels alone: size,
// colours, background bands, block grid and the place of every feature.
#include "formats/picture_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelk::tests {
namespace {

using formats::framePictureRecord;
using formats::Picture;
using formats::readPictureRecord;
using formats::Rgb;

constexpr Rgb kLawnGreen{0, 247, 0};
constexpr Rgb kRoadBrown{189, 148, 123};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kBodyOrange{255, 165, 90};
constexpr Rgb kDarkOrange{222, 107, 0};
constexpr Rgb kMuzzlePink{255, 231, 231};
constexpr Rgb kNostrilPink{255, 198, 198};
constexpr Rgb kEyeWhite{239, 239, 239};
constexpr Rgb kEightColours[] = {
    kLawnGreen, kRoadBrown, kBlack, kBodyOrange, kDarkOrange, kMuzzlePink, kNostrilPink, kEyeWhite};

// Inclusive pixel ranges.
struct Box {
    int x0, x1, y0, y1;
    bool contains(const Box& b) const { return x0 <= b.x0 && b.x1 <= x1 && y0 <= b.y0 && b.y1 <= y1; }
    friend bool operator==(const Box&, const Box&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Box& b) {
        return out << "x " << b.x0 << "-" << b.x1 << ", y " << b.y0 << "-" << b.y1;
    }
};

struct Pose {
    const char* name;
    int width, height;
    int outlineRow;
    int firstBlockRow;  // 1 when the top edge cuts the first block row in half
    Box extent, body, mane, tail, saddle, eyes, muzzle, nostril;
    std::array<Box, 4> hooves;  // left to right
    int saddleStrokes;
    int forelockBlocks;
    std::optional<Box> saddleAboveOutline;  // road brown allowed above the outline row
};

// clang-format off
constexpr Pose kPoses[] = {
    {"Img1", 161, 164, 65, 1,
     {0, 159, 11, 163}, {10, 141, 13, 156}, {84, 105, 15, 64}, {2, 29, 69, 88}, {48, 85, 67, 104},
     {116, 133, 23, 28}, {130, 157, 39, 70}, {140, 145, 55, 58},
     {{{12, 27, 145, 154}, {30, 39, 137, 146}, {62, 73, 149, 162}, {88, 93, 135, 144}}},
     2, 0, std::nullopt},
    {"Img2", 169, 171, 65, 1,
     {6, 165, 9, 168}, {22, 149, 11, 156}, {88, 111, 13, 62}, {8, 31, 51, 82}, {50, 87, 67, 104},
     {120, 139, 23, 28}, {136, 163, 37, 68}, {146, 149, 53, 56},
     {{{54, 67, 157, 166}, {62, 75, 145, 154}, {88, 95, 137, 146}, {136, 149, 139, 146}}},
     3, 1, std::nullopt},
    {"Img3", 172, 169, 62, 0,
     {8, 167, 6, 165}, {22, 151, 8, 153}, {90, 113, 10, 61}, {10, 39, 48, 75}, {54, 91, 60, 99},
     {122, 141, 18, 25}, {138, 165, 34, 65}, {148, 151, 52, 55},
     {{{14, 25, 122, 137}, {36, 43, 134, 137}, {72, 77, 136, 145}, {100, 115, 154, 163}}},
     2, 1, Box{60, 67, 60, 61}},
};
// clang-format on

void PrintTo(const Pose& p, std::ostream* out) { *out << p.name; }

const Pose& pose(const std::string& name) {
    return *std::ranges::find_if(kPoses, [&](const Pose& p) { return p.name == name; });
}

std::string lowered(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The painted bitmap file, read through a picture record around it.
const Picture& painted(const Pose& p) {
    static std::map<std::string, Picture> cache;
    auto [it, fresh] = cache.try_emplace(p.name);
    if (fresh) {
        const std::string path = std::string(ZELK_ART_DIR) + "/" + lowered(p.name) + ".bmp";
        std::ifstream in(path, std::ios::binary);
        if (!in) throw std::runtime_error("cannot open " + path);
        const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), {}};
        it->second = readPictureRecord(framePictureRecord(file));
    }
    return it->second;
}

struct Point {
    int x, y;
    auto operator<=>(const Point&) const = default;
};
using Region = std::vector<Point>;

std::optional<Box> bounds(const Region& region) {
    if (region.empty()) return std::nullopt;
    Box b{region[0].x, region[0].x, region[0].y, region[0].y};
    for (const Point& p : region)
        b = {std::min(b.x0, p.x), std::max(b.x1, p.x), std::min(b.y0, p.y), std::max(b.y1, p.y)};
    return b;
}

template <class Keep>
Region pixelsWhere(const Picture& picture, Keep keep) {
    Region out;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (keep(x, y, picture.at(x, y))) out.push_back({x, y});
    return out;
}

Region pixelsOf(const Picture& picture, Rgb colour) {
    return pixelsWhere(picture, [&](int, int, Rgb c) { return c == colour; });
}

constexpr Point kSides[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
constexpr Point kAround[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};

// Connected areas of one colour; fills join through sides, thin strokes also
// through corners.
std::vector<Region> regionsOf(const Picture& picture, Rgb colour, std::span<const Point> steps) {
    std::vector<bool> seen(picture.pixels.size());
    std::vector<Region> regions;
    for (const Point& start : pixelsOf(picture, colour)) {
        if (seen[std::size_t(start.y) * picture.width + start.x]) continue;
        Region region{start};
        seen[std::size_t(start.y) * picture.width + start.x] = true;
        for (std::size_t i = 0; i < region.size(); ++i) {
            for (const Point& d : steps) {
                const Point n{region[i].x + d.x, region[i].y + d.y};
                if (n.x < 0 || n.y < 0 || n.x >= picture.width || n.y >= picture.height) continue;
                const std::size_t k = std::size_t(n.y) * picture.width + n.x;
                if (!seen[k] && picture.at(n.x, n.y) == colour) {
                    seen[k] = true;
                    region.push_back(n);
                }
            }
        }
        regions.push_back(std::move(region));
    }
    return regions;
}

bool touchesBorder(const Picture& picture, const Region& region) {
    return std::ranges::any_of(region, [&](const Point& p) {
        return p.x == 0 || p.y == 0 || p.x == picture.width - 1 || p.y == picture.height - 1;
    });
}

// The saddle's fill is road brown shut in by black: the largest road-brown
// area that does not reach the picture's edge.
Region saddleFill(const Picture& picture) {
    Region best;
    for (Region& r : regionsOf(picture, kRoadBrown, kSides))
        if (!touchesBorder(picture, r) && r.size() > best.size()) best = std::move(r);
    return best;
}

bool isBackground(Rgb c) { return c == kLawnGreen || c == kRoadBrown; }

class HorsePicture : public testing::TestWithParam<Pose> {
protected:
    const Pose& p = GetParam();
    const Picture& picture = painted(p);
};

TEST_P(HorsePicture, HasItsSizeAndExactlyTheEightColours) {
    EXPECT_EQ(picture.width, p.width);
    EXPECT_EQ(picture.height, p.height);
    std::set<std::array<int, 3>> used;
    for (const Rgb& c : picture.pixels) used.insert({c.r, c.g, c.b});
    std::set<std::array<int, 3>> expected;
    for (const Rgb& c : kEightColours) expected.insert({c.r, c.g, c.b});
    EXPECT_EQ(used, expected);
}

TEST_P(HorsePicture, LawnAboveTheOutlineRowAndRoadBelowIt) {
    const Region roadAbove =
        pixelsWhere(picture, [&](int, int y, Rgb c) { return y < p.outlineRow && c == kRoadBrown; });
    if (p.saddleAboveOutline) {
        const Box& b = *p.saddleAboveOutline;
        EXPECT_EQ(bounds(roadAbove), b);
        EXPECT_EQ(roadAbove.size(), std::size_t(b.x1 - b.x0 + 1) * (b.y1 - b.y0 + 1));
    } else {
        EXPECT_EQ(bounds(roadAbove), std::nullopt);
    }
    const Region lawnBelow =
        pixelsWhere(picture, [&](int, int y, Rgb c) { return y > p.outlineRow && c == kLawnGreen; });
    EXPECT_EQ(bounds(lawnBelow), std::nullopt);
}

// The outline row is black wherever the horse leaves it; where the horse
// covers it, it repeats the lower half of that block.
TEST_P(HorsePicture, OutlineRowIsBlackWhereTheHorseLeavesIt) {
    const Region saddle = saddleFill(picture);
    const std::set<Point> inSaddle(saddle.begin(), saddle.end());
    const int y = p.outlineRow;
    EXPECT_EQ(picture.at(0, y), kBlack);
    EXPECT_EQ(picture.at(picture.width - 1, y), kBlack);
    for (int x = 0; x < picture.width; ++x) {
        const Rgb c = picture.at(x, y), below = picture.at(x, y + 1);
        if (c == kBlack) continue;
        EXPECT_EQ(c, below) << "column " << x;
        EXPECT_NE(c, kLawnGreen) << "column " << x;
        if (c == kRoadBrown) {
            EXPECT_TRUE(inSaddle.contains({x, y})) << "bare road in the outline row at column " << x;
        }
    }
}

TEST_P(HorsePicture, IsMadeOfWholeBlocksOnItsGrid) {
    const int blockRows = (p.height + p.firstBlockRow + 1) / 2;
    for (int by = 0; by < blockRows; ++by) {
        for (int bx = 0; bx < (p.width + 1) / 2; ++bx) {
            std::optional<Rgb> colour;
            for (int y = 2 * by - p.firstBlockRow; y < 2 * by - p.firstBlockRow + 2; ++y) {
                for (int x = 2 * bx; x < 2 * bx + 2; ++x) {
                    if (y < 0 || y >= picture.height || x >= picture.width || y == p.outlineRow) continue;
                    if (!colour) colour = picture.at(x, y);
                    EXPECT_EQ(picture.at(x, y), *colour)
                        << "block at pixel (" << 2 * bx << ", " << 2 * by - p.firstBlockRow << ")";
                }
            }
        }
    }
}

TEST_P(HorsePicture, EveryFillLiesInItsBox) {
    const Region horse = pixelsWhere(
        picture, [&](int, int y, Rgb c) { return !isBackground(c) && !(y == p.outlineRow && c == kBlack); });
    EXPECT_EQ(bounds(horse), p.extent) << "horse's extent";
    const struct {
        const char* feature;
        Rgb colour;
        Box box;
    } fills[] = {
        {"body", kBodyOrange, p.body},
        {"eyes", kEyeWhite, p.eyes},
        {"muzzle", kMuzzlePink, p.muzzle},
        {"nostril", kNostrilPink, p.nostril},
    };
    for (const auto& f : fills) EXPECT_EQ(bounds(pixelsOf(picture, f.colour)), f.box) << f.feature;
    EXPECT_EQ(bounds(saddleFill(picture)), p.saddle) << "saddle";
}

// Dark orange is the mane, the tail, the four hooves and, in the later poses,
// one block of the forelock; each patch belongs to exactly one of them.
TEST_P(HorsePicture, DarkOrangeIsManeTailHoovesAndForelock) {
    std::vector<std::pair<std::string, Box>> features{{"mane", p.mane}, {"tail", p.tail}};
    for (std::size_t i = 0; i < p.hooves.size(); ++i)
        features.push_back({"hoof " + std::to_string(i + 1), p.hooves[i]});
    std::map<std::string, Region> found;
    std::vector<Box> forelock;
    for (const Region& r : regionsOf(picture, kDarkOrange, kSides)) {
        const Box b = *bounds(r);
        const auto owner = std::ranges::find_if(features, [&](const auto& f) { return f.second.contains(b); });
        if (owner != features.end()) {
            Region& into = found[owner->first];
            into.insert(into.end(), r.begin(), r.end());
        } else {
            EXPECT_TRUE(r.size() == 4 && b.x1 - b.x0 == 1 && b.y1 - b.y0 == 1) << "stray dark orange at " << b;
            forelock.push_back(b);
        }
    }
    for (const auto& [name, box] : features) EXPECT_EQ(bounds(found[name]), box) << name;
    ASSERT_EQ(int(forelock.size()), p.forelockBlocks);
    for (const Box& b : forelock) {
        EXPECT_LT(b.y1, p.eyes.y0) << "forelock block " << b << " is not on top of the head";
        EXPECT_GT(b.x0, p.mane.x1) << "forelock block " << b << " is not in front of the mane";
    }
}

TEST_P(HorsePicture, SaddleCarriesItsStrokes) {
    const Region saddle = saddleFill(picture);
    const std::set<Point> inSaddle(saddle.begin(), saddle.end());
    int strokes = 0;
    for (const Region& r : regionsOf(picture, kBlack, kAround)) {
        const bool enclosed = std::ranges::all_of(r, [&](const Point& q) {
            return std::ranges::all_of(kAround, [&](const Point& d) {
                const Point n{q.x + d.x, q.y + d.y};
                return inSaddle.contains(n) || picture.at(n.x, n.y) == kBlack;
            });
        });
        strokes += enclosed;
    }
    EXPECT_EQ(strokes, p.saddleStrokes);
}

TEST_P(HorsePicture, NearEyeIsLargeAndTheFarEyeASliverToItsRight) {
    const auto eyes = regionsOf(picture, kEyeWhite, kSides);
    ASSERT_EQ(eyes.size(), 2u);
    const Region& near = bounds(eyes[0])->x0 < bounds(eyes[1])->x0 ? eyes[0] : eyes[1];
    const Region& far = &near == &eyes[0] ? eyes[1] : eyes[0];
    EXPECT_GT(near.size(), 2 * far.size());
    EXPECT_LT(bounds(near)->x1, bounds(far)->x0);
}

INSTANTIATE_TEST_SUITE_P(Poses, HorsePicture, testing::ValuesIn(kPoses),
                         [](const testing::TestParamInfo<Pose>& info) { return std::string(info.param.name); });

// Topmost row of the horse in column x, the outline row's black apart.
std::optional<int> topOfHorse(const Pose& p, const Picture& picture, int x) {
    for (int y = 0; y < picture.height; ++y)
        if (const Rgb c = picture.at(x, y); !isBackground(c) && !(y == p.outlineRow && c == kBlack)) return y;
    return std::nullopt;
}

TEST(HorsePoses, Img1TailTipTouchesTheLeftEdge) {
    const Pose& p = pose("Img1");
    const Picture& picture = painted(p);
    std::vector<int> rows;
    for (int y = 0; y < picture.height; ++y) {
        if (y == p.outlineRow || isBackground(picture.at(0, y))) continue;
        EXPECT_EQ(picture.at(0, y), kBlack) << "row " << y;
        rows.push_back(y);
    }
    EXPECT_EQ(rows, (std::vector<int>{71, 72, 73, 74}));
}

TEST(HorsePoses, Img1LowestHoofIsCutByTheBottomEdge) {
    const Pose& p = pose("Img1");
    const Picture& picture = painted(p);
    const Box& hoof = p.hooves[2];
    const Region bottom =
        pixelsWhere(picture, [&](int, int y, Rgb c) { return y == picture.height - 1 && c != kRoadBrown; });
    ASSERT_FALSE(bottom.empty());
    for (const Point& q : bottom) EXPECT_EQ(picture.at(q.x, q.y), kBlack) << "column " << q.x;
    const Box b = *bounds(bottom);
    EXPECT_TRUE((Box{hoof.x0 - 2, hoof.x1 + 2, 0, picture.height}).contains(b)) << b;
}

// Around the saddle the back rises above the outline row: its outline at
// row 60, the saddle's top outline at row 58 over the road brown of 60-61.
TEST(HorsePoses, Img3SaddleRisesAboveTheOutlineRow) {
    const Pose& p = pose("Img3");
    const Picture& picture = painted(p);
    for (int x = 48; x <= 71; ++x) {
        const bool saddleTop = x >= 60 && x <= 67;
        const bool back = x >= 50 && x <= 69;
        const std::optional<int> top = topOfHorse(p, picture, x);
        ASSERT_TRUE(top) << "column " << x;
        if (saddleTop) {
            EXPECT_EQ(*top, 58) << "column " << x;
            EXPECT_EQ(picture.at(x, 59), kBlack) << "column " << x;
        } else if (back) {
            EXPECT_EQ(*top, 60) << "column " << x;
        } else {
            EXPECT_GT(*top, p.outlineRow) << "column " << x;
        }
    }
}

}  // namespace
}  // namespace zelk::tests
