#pragma once

// The stored icon group and its images, read by the published layouts: a
// group directory of 14-byte entries, and bitmap icon images of a 40-byte
// header, a BGR0 colour table, colour rows and 1-bit mask rows, both bottom
// row first and padded to 32 bits.

#include "resource_support.h"

#include "formats/byte_reader.h"

#include <vector>

namespace zelk::tests {

struct GroupEntry {
    std::uint8_t width, height, colourCount, reserved;
    std::uint16_t planes, bitCount;
    std::uint32_t bytes;
    std::uint16_t id;
};

struct IconGroup {
    std::uint16_t reserved, type;
    std::vector<GroupEntry> entries;
};

inline IconGroup readIconGroupRecord(std::span<const std::uint8_t> bytes) {
    formats::ByteReader in(bytes);
    IconGroup g{};
    g.reserved = in.u16("reserved");
    g.type = in.u16("type");
    const std::uint16_t count = in.u16("count");
    for (std::uint16_t i = 0; i < count; ++i) {
        GroupEntry e{};
        e.width = in.u8("width");
        e.height = in.u8("height");
        e.colourCount = in.u8("colour count");
        e.reserved = in.u8("reserved");
        e.planes = in.u16("planes");
        e.bitCount = in.u16("bit count");
        e.bytes = in.u32("bytes in resource");
        e.id = in.u16("icon ID");
        g.entries.push_back(e);
    }
    in.expect(in.atEnd(), "bytes after the group's entries");
    return g;
}

struct BitmapIcon {
    std::uint32_t headerSize, compression, imageSize, xResolution, yResolution, coloursUsed, coloursImportant;
    std::int32_t width, doubledHeight;
    std::uint16_t planes, bitCount;
    std::vector<std::uint32_t> colours;       // 0xRRGGBB
    std::vector<std::uint8_t> reservedBytes;  // the fourth byte of each colour
    std::vector<std::uint8_t> index;          // top row first
    std::vector<bool> outside;                // mask bit, top row first

    int height() const { return doubledHeight / 2; }
    std::uint8_t indexAt(int x, int y) const { return index[std::size_t(y) * width + x]; }
    bool outsideAt(int x, int y) const { return outside[std::size_t(y) * width + x]; }
    std::uint32_t colourAt(int x, int y) const { return colours.at(indexAt(x, y)); }
};

inline BitmapIcon readBitmapIcon(std::span<const std::uint8_t> bytes) {
    formats::ByteReader in(bytes);
    BitmapIcon b{};
    b.headerSize = in.u32("header size");
    b.width = in.i32("width");
    b.doubledHeight = in.i32("height");
    b.planes = in.u16("planes");
    b.bitCount = in.u16("bit count");
    b.compression = in.u32("compression");
    b.imageSize = in.u32("image size");
    b.xResolution = in.u32("x resolution");
    b.yResolution = in.u32("y resolution");
    b.coloursUsed = in.u32("colours used");
    b.coloursImportant = in.u32("colours important");
    in.expect(b.headerSize == 40 && b.width > 0 && b.doubledHeight > 0 && b.bitCount >= 1 && b.bitCount <= 8,
              "header is not that of a bitmap icon image");
    const std::uint32_t colourCount = b.coloursUsed ? b.coloursUsed : 1u << b.bitCount;
    for (std::uint32_t i = 0; i < colourCount; ++i) {
        const auto c = in.bytes(4, "colour table");
        b.colours.push_back(std::uint32_t(c[2]) << 16 | std::uint32_t(c[1]) << 8 | c[0]);
        b.reservedBytes.push_back(c[3]);
    }
    const int w = b.width, h = b.height();
    const std::size_t colourStride = (std::size_t(w) * b.bitCount + 31) / 32 * 4;
    const std::size_t maskStride = (std::size_t(w) + 31) / 32 * 4;
    const auto colourRows = in.bytes(colourStride * h, "colour image");
    const auto maskRows = in.bytes(maskStride * h, "mask");
    in.expect(in.atEnd(), "bytes after the mask");
    for (int y = 0; y < h; ++y) {
        const std::size_t stored = std::size_t(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const std::size_t bit = std::size_t(x) * b.bitCount;
            const std::uint8_t byte = colourRows[stored * colourStride + bit / 8];
            b.index.push_back(std::uint8_t((byte >> (8 - b.bitCount - bit % 8)) & ((1u << b.bitCount) - 1)));
            b.outside.push_back((maskRows[stored * maskStride + x / 8] >> (7 - x % 8)) & 1);
        }
    }
    return b;
}

inline IconGroup storedIconGroup() {
    return readIconGroupRecord(storedResource(formats::resource_directory::kIconGroup, 1).bytes);
}

inline BitmapIcon storedIcon(std::uint16_t id) {
    return readBitmapIcon(storedResource(formats::resource_directory::kIcon, id).bytes);
}

}  // namespace zelk::tests
