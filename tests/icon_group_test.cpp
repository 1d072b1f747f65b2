// The stored icon group and its three images, read by the published layouts.
#include "icon_reader.h"

#include <algorithm>

namespace zelk::tests {
namespace {

constexpr std::uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kCyan = 0x00FFFF, kSilver = 0xC0C0C0, kGrey = 0x808080;

struct Rect {
    int x0, y0, x1, y1;  // inclusive
    bool contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

// The colour of each part of the drawing.
struct Look {
    std::uint32_t outline, titleBand, titleLine, titleLineBelow, face, shading, wedge;
};

constexpr Look kSixteenColourLook{kBlack, kCyan, kBlack, kSilver, kWhite, kSilver, kGrey};
constexpr Look kTwoColourLook{kBlack, kWhite, kBlack, kBlack, kWhite, kWhite, kBlack};

struct Image {
    GroupEntry entry;
    std::uint32_t imageSize;  // colour rows and mask rows, each padded to 32 bits
    std::size_t colourTable;
    std::uint8_t outsideIndex;
    Rect window, wedge;
    Look look;
};

const Image kImages[] = {
    {{32, 32, 2, 0, 1, 1, 304, 30001}, 32 * (4 + 4), 2, 1, {5, 6, 22, 26}, {23, 21, 28, 25}, kTwoColourLook},
    {{32, 32, 16, 0, 1, 4, 744, 30002}, 32 * (16 + 4), 16, 0, {5, 6, 22, 26}, {23, 21, 28, 25}, kSixteenColourLook},
    {{16, 16, 16, 0, 1, 4, 296, 30003}, 16 * (8 + 4), 16, 0, {2, 3, 11, 13}, {12, 10, 14, 12}, kSixteenColourLook},
};

const std::vector<std::uint32_t> kStandardColours = {
    0x000000,
    0x800000,
    0x008000,
    0x808000,
    0x000080,
    0x800080,
    0x008080,
    0x808080,
    0xC0C0C0,
    0xFF0000,
    0x00FF00,
    0xFFFF00,
    0x0000FF,
    0xFF00FF,
    0x00FFFF,
    0xFFFFFF,
};

// The drawn rows of column x: one unbroken run, as [first, last].
std::pair<int, int> drawnRun(const BitmapIcon& icon, int x) {
    int first = -1, last = -1;
    for (int y = 0; y < icon.height(); ++y) {
        if (icon.outsideAt(x, y)) continue;
        if (first < 0) first = y;
        EXPECT_TRUE(last < 0 || last == y - 1) << "column " << x << " is broken at row " << y;
        last = y;
    }
    return {first, last};
}

// An edge that falls one row at a time, in steps of three to five columns.
void expectStepsFalling(const std::vector<int>& rows, const char* edge) {
    int run = 1;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_TRUE(rows[i] == rows[i - 1] || rows[i] == rows[i - 1] + 1) << edge << " at column offset " << i;
        if (rows[i] == rows[i - 1]) {
            ++run;
            continue;
        }
        EXPECT_TRUE(run >= 3 && run <= 5) << edge << ": a step of " << run << " columns";
        run = 1;
    }
    EXPECT_TRUE(run >= 3 && run <= 5) << edge << ": a last step of " << run << " columns";
    EXPECT_GE(rows.back() - rows.front(), 2) << edge << " falls to the right";
}

TEST(IconGroup, ListsItsThreeImagesInOrder) {
    const StoredResource group = storedResource(14, 1);  // icon group 1
    EXPECT_EQ(group.language, 0u) << "language neutral";
    const IconGroup g = readIconGroupRecord(group.bytes);
    EXPECT_EQ(g.reserved, 0);
    EXPECT_EQ(g.type, 1) << "icons";
    ASSERT_EQ(g.entries.size(), std::size(kImages));
    for (std::size_t i = 0; i < std::size(kImages); ++i) {
        const GroupEntry &e = g.entries[i], &want = kImages[i].entry;
        SCOPED_TRACE("entry " + std::to_string(i + 1));
        EXPECT_EQ(e.width, want.width);
        EXPECT_EQ(e.height, want.height);
        EXPECT_EQ(e.colourCount, want.colourCount);
        EXPECT_EQ(e.reserved, 0);
        EXPECT_EQ(e.planes, 1);
        EXPECT_EQ(e.bitCount, want.bitCount);
        EXPECT_EQ(e.bytes, want.bytes);
        EXPECT_EQ(e.id, want.id);
        const StoredResource icon = storedResource(3, e.id);  // an icon
        EXPECT_EQ(icon.language, 0u) << "language neutral";
        EXPECT_EQ(icon.bytes.size(), e.bytes);
    }
}

TEST(IconGroup, EachImageIsABitmapIconWithItsMask) {
    for (const Image& want : kImages) {
        SCOPED_TRACE("icon " + std::to_string(want.entry.id));
        const BitmapIcon icon = storedIcon(want.entry.id);
        EXPECT_EQ(icon.headerSize, 40u);
        EXPECT_EQ(icon.width, want.entry.width);
        EXPECT_EQ(icon.doubledHeight, 2 * want.entry.height) << "colour image and mask";
        EXPECT_EQ(icon.planes, 1);
        EXPECT_EQ(icon.bitCount, want.entry.bitCount);
        EXPECT_EQ(icon.compression, 0u);
        EXPECT_EQ(icon.imageSize, want.imageSize);
        EXPECT_EQ(icon.xResolution, 0u);
        EXPECT_EQ(icon.yResolution, 0u);
        EXPECT_EQ(icon.coloursUsed, 0u) << "the full table";
        EXPECT_EQ(icon.coloursImportant, 0u);
        const std::vector<std::uint32_t> expected =
            want.colourTable == 2 ? std::vector<std::uint32_t>{kBlack, kWhite} : kStandardColours;
        EXPECT_EQ(icon.colours, expected);
        EXPECT_TRUE(std::ranges::all_of(icon.reservedBytes, [](std::uint8_t b) { return b == 0; }));
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width; ++x)
                if (icon.outsideAt(x, y)) {
                    ASSERT_EQ(icon.indexAt(x, y), want.outsideIndex) << "outside the drawing at " << x << ", " << y;
                }
    }
}

TEST(IconGroup, EachImageShowsTheSlantedWindowAndItsWedgeInTheirBoxes) {
    for (const Image& want : kImages) {
        SCOPED_TRACE("icon " + std::to_string(want.entry.id));
        const BitmapIcon icon = storedIcon(want.entry.id);
        const Look& look = want.look;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width; ++x)
                if (!icon.outsideAt(x, y)) {
                    ASSERT_TRUE(want.window.contains(x, y) || want.wedge.contains(x, y)) << x << ", " << y;
                }

        std::vector<int> tops, bottoms;
        for (int x = want.window.x0; x <= want.window.x1; ++x) {
            const auto [top, bottom] = drawnRun(icon, x);
            ASSERT_GE(bottom - top, 6) << "column " << x;
            tops.push_back(top);
            bottoms.push_back(bottom);
            const bool side = x == want.window.x0 || x == want.window.x1;
            for (int y = top; y <= bottom; ++y) {
                const int fromTop = y - top;
                std::uint32_t part = look.face;
                if (side || y == bottom || fromTop == 0 || fromTop == 2)
                    part = look.outline;
                else if (fromTop == 1)
                    part = look.titleBand;
                else if (fromTop == 3)
                    part = look.titleLineBelow;
                else if (y == bottom - 1)
                    part = look.shading;
                EXPECT_EQ(icon.colourAt(x, y), part) << "at " << x << ", " << y;
            }
        }
        EXPECT_EQ(tops.front(), want.window.y0);
        EXPECT_EQ(bottoms.back(), want.window.y1);
        expectStepsFalling(tops, "top edge");
        expectStepsFalling(bottoms, "bottom edge");

        int previous = want.wedge.y1 - want.wedge.y0 + 1;
        int top = want.wedge.y1, bottom = want.wedge.y0;
        for (int x = want.wedge.x0; x <= want.wedge.x1; ++x) {
            const auto [first, last] = drawnRun(icon, x);
            ASSERT_GE(first, 0) << "wedge column " << x << " is empty";
            EXPECT_LE(last - first + 1, previous) << "the wedge narrows to the right at column " << x;
            previous = last - first + 1;
            top = std::min(top, first);
            bottom = std::max(bottom, last);
            for (int y = first; y <= last; ++y) EXPECT_EQ(icon.colourAt(x, y), look.wedge) << "at " << x << ", " << y;
        }
        EXPECT_EQ(top, want.wedge.y0);
        EXPECT_EQ(bottom, want.wedge.y1);
        EXPECT_EQ(drawnRun(icon, want.wedge.x1).second - drawnRun(icon, want.wedge.x1).first, 0)
            << "the wedge ends in a point";
    }
}

}  // namespace
}  // namespace zelk::tests
