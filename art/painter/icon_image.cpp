#include "art/painter/icon_image.h"

#include "formats/byte_writer.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace zelk::art::painter {
namespace {

int bitsPerPixel(std::size_t colours) {
    switch (colours) {
        case 2: return 1;
        case 16: return 4;
        case 256: return 8;
        default: throw std::runtime_error("an icon has 2, 16 or 256 colours, not " + std::to_string(colours));
    }
}

// Packs one row of values, most significant bits first, padded to 32 bits.
void appendRow(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& values, int bits) {
    const std::size_t start = out.size();
    out.resize(start + (values.size() * bits + 31) / 32 * 4, 0);
    for (std::size_t x = 0; x < values.size(); ++x) {
        const std::size_t bit = x * bits;
        out[start + bit / 8] |= std::uint8_t(values[x] << (8 - bits - bit % 8));
    }
}

}  // namespace

std::vector<std::uint8_t> encodeIconImage(const RgbaImage& drawing, std::span<const formats::Rgb> colours,
                                          std::uint8_t outside) {
    const int bits = bitsPerPixel(colours.size());
    const int w = drawing.width, h = drawing.height;
    std::vector<std::vector<std::uint8_t>> index(h, std::vector<std::uint8_t>(w));
    std::vector<std::vector<std::uint8_t>> mask(h, std::vector<std::uint8_t>(w));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgba& p = drawing.at(x, y);
            const std::string where = " at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
            if (p.a == 0) {
                index[y][x] = outside;
                mask[y][x] = 1;
                continue;
            }
            if (p.a != 255) throw std::runtime_error("antialiased icon pixel" + where + ": draw with crisp edges");
            const auto it = std::ranges::find(colours, formats::Rgb{p.r, p.g, p.b});
            if (it == colours.end()) throw std::runtime_error("icon pixel" + where + " is not a palette colour");
            index[y][x] = std::uint8_t(it - colours.begin());
        }
    }

    std::vector<std::uint8_t> out;
    formats::appendU32(out, 40);
    formats::appendU32(out, std::uint32_t(w));
    formats::appendU32(out, std::uint32_t(2 * h));  // colour image and mask
    formats::appendU16(out, 1);
    formats::appendU16(out, std::uint32_t(bits));
    formats::appendU32(out, 0);  // uncompressed
    const std::uint32_t imageSize = std::uint32_t((w * bits + 31) / 32 * 4 + (w + 31) / 32 * 4) * std::uint32_t(h);
    formats::appendU32(out, imageSize);
    for (int i = 0; i < 4; ++i) formats::appendU32(out, 0);  // resolution, colours used and important
    for (const formats::Rgb& c : colours) out.insert(out.end(), {c.b, c.g, c.r, 0});
    for (int y = h - 1; y >= 0; --y) appendRow(out, index[y], bits);
    for (int y = h - 1; y >= 0; --y) appendRow(out, mask[y], 1);
    return out;
}

}  // namespace zelk::art::painter
