#include "art/painter/paint_icon.h"

#include "art/painter/icon_image.h"
#include "art/painter/svg_raster.h"

namespace zelk::art::painter {
namespace {

constexpr formats::Rgb kTwoColours[] = {{0, 0, 0}, {255, 255, 255}};

// clang-format off
constexpr formats::Rgb kSixteenColours[] = {
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0x80, 0x80, 0x80},
    {0xC0, 0xC0, 0xC0}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
};
// clang-format on

// Outside the drawing the two-colour image holds white, the others black.
constexpr std::uint8_t kTwoColourOutside = 1;
constexpr std::uint8_t kSixteenColourOutside = 0;

RgbaImage columns(const RgbaImage& from, int x0, int width) {
    RgbaImage out{width, from.height, {}};
    for (int y = 0; y < from.height; ++y)
        for (int x = 0; x < width; ++x) out.pixels.push_back(from.at(x0 + x, y));
    return out;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> paintIcon(const std::filesystem::path& artDir) {
    // The large drawing holds the sixteen-colour image and, right of it, the two-colour one.
    const RgbaImage large = rasterizeSvg(artDir / "icon" / "window-32.svg", 64, 32);
    const RgbaImage small = rasterizeSvg(artDir / "icon" / "window-16.svg", 16, 16);
    return {
        formats::encodeIconImage(iconImageOf(columns(large, 32, 32), kTwoColours, kTwoColourOutside)),
        formats::encodeIconImage(iconImageOf(columns(large, 0, 32), kSixteenColours, kSixteenColourOutside)),
        formats::encodeIconImage(iconImageOf(small, kSixteenColours, kSixteenColourOutside)),
    };
}

}  // namespace zelk::art::painter
