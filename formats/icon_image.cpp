#include "formats/icon_image.h"

#include "formats/byte_reader.h"
#include "formats/byte_writer.h"

#include <stdexcept>

namespace zelk::formats {
namespace {

constexpr std::uint16_t kIconGroupType = 1;  // 2 would be cursors

bool isIconBitCount(std::uint32_t bits) { return bits == 1 || bits == 4 || bits == 8; }

// Pixel x of a row: the byte that holds it and the shift that brings it down;
// the leftmost pixel takes a byte's highest bits.
struct PixelPlace {
    std::size_t byte;
    int shift;
};

PixelPlace placeOf(std::size_t x, std::size_t bits) {
    const std::size_t bit = x * bits;
    return {bit / 8, int(8 - bits - bit % 8)};
}

// Appends the stored rows, bottom row first, of one value a pixel.
template <typename ValueAt>
void appendRows(std::vector<std::uint8_t>& out, int width, int height, std::size_t bits, ValueAt valueAt) {
    const std::size_t rowBytes = iconRowBytes(std::size_t(width), bits);
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        out.resize(start + rowBytes, 0);
        for (int x = 0; x < width; ++x) {
            const PixelPlace place = placeOf(std::size_t(x), bits);
            out[start + place.byte] |= std::uint8_t(valueAt(x, y) << place.shift);
        }
    }
}

unsigned storedValue(std::span<const std::uint8_t> rows, std::size_t rowBytes, std::size_t storedRow, int x,
                     std::size_t bits) {
    const PixelPlace place = placeOf(std::size_t(x), bits);
    return (rows[storedRow * rowBytes + place.byte] >> place.shift) & ((1u << bits) - 1);
}

int storedSide(std::uint8_t side) { return side ? side : kIconMaxSide; }

}  // namespace

std::size_t iconRowBytes(std::size_t width, std::size_t bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

std::vector<std::uint8_t> encodeIconImage(const IconImage& image) {
    const int w = image.width, h = image.height;
    if (w < 1 || w > kIconMaxSide || h < 1 || h > kIconMaxSide)
        throw std::invalid_argument("an icon's sides are 1 to 256 pixels");
    if (!isIconBitCount(std::uint32_t(image.bitsPerPixel)) || image.colours.size() != 1u << image.bitsPerPixel)
        throw std::invalid_argument("an icon has a full colour table of 1, 4 or 8 bits a pixel");
    const std::size_t pixels = std::size_t(w) * std::size_t(h);
    if (image.index.size() != pixels || image.outside.size() != pixels)
        throw std::invalid_argument("an icon's indexes and mask have one entry a pixel");
    for (const std::uint8_t i : image.index)
        if (i >= image.colours.size()) throw std::invalid_argument("an icon's colour index is beyond its colour table");

    const std::size_t bits = std::size_t(image.bitsPerPixel);
    std::vector<std::uint8_t> out;
    appendU32(out, kIconHeaderSize);
    appendU32(out, std::uint32_t(w));
    appendU32(out, std::uint32_t(2 * h));  // colour image and mask
    appendU16(out, 1);                     // planes
    appendU16(out, std::uint32_t(bits));
    appendU32(out, 0);  // uncompressed
    appendU32(out, std::uint32_t((iconRowBytes(std::size_t(w), bits) + iconRowBytes(std::size_t(w), 1)) * h));
    for (int i = 0; i < 4; ++i) appendU32(out, 0);  // resolution, colours used (all) and important
    for (const Rgb& c : image.colours) out.insert(out.end(), {c.b, c.g, c.r, 0});
    appendRows(out, w, h, bits, [&](int x, int y) { return image.indexAt(x, y); });
    appendRows(out, w, h, 1, [&](int x, int y) { return unsigned(image.outsideAt(x, y)); });
    return out;
}

IconImage readIconImage(std::span<const std::uint8_t> bytes, const std::string& name) {
    const std::string subject = name + " ";
    ByteReader in(bytes);
    if (in.u32("icon header size") != kIconHeaderSize) in.fail(subject + "bitmap header size is not 40", 0);
    IconImage image;
    image.width = in.i32("icon width");
    if (image.width < 1 || image.width > kIconMaxSide) in.fail(subject + "width is not 1 to 256 pixels", 4);
    const std::int32_t doubled = in.i32("icon height");
    if (doubled % 2 != 0 || doubled / 2 < 1 || doubled / 2 > kIconMaxSide)
        in.fail(subject + "height is not twice 1 to 256 pixels (colour image and mask)", 8);
    image.height = doubled / 2;
    if (in.u16("icon planes") != 1) in.fail(subject + "planes is not 1", 12);
    image.bitsPerPixel = in.u16("icon bit count");
    if (!isIconBitCount(std::uint32_t(image.bitsPerPixel))) in.fail(subject + "bit count is not 1, 4 or 8", 14);
    if (in.u32("icon compression") != 0) in.fail(subject + "is compressed", 16);
    in.skip(12, "icon image size and resolution");
    const std::size_t bits = std::size_t(image.bitsPerPixel);
    std::uint32_t colourCount = in.u32("icon colours used");
    if (colourCount > 1u << bits) in.fail(subject + "has more colours than its bit count allows", 32);
    if (colourCount == 0) colourCount = 1u << bits;
    in.skip(4, "icon important colours");

    const auto table = in.bytes(kIconColourEntrySize * colourCount, "icon colour table");
    for (std::size_t at = 0; at < table.size(); at += kIconColourEntrySize)
        image.colours.push_back({table[at + 2], table[at + 1], table[at]});
    const std::size_t w = std::size_t(image.width), h = std::size_t(image.height);
    const std::size_t colourRowBytes = iconRowBytes(w, bits), maskRowBytes = iconRowBytes(w, 1);
    const std::size_t colourStart = in.position();
    const auto colourRows = in.bytes(colourRowBytes * h, "icon colour image");
    const auto maskRows = in.bytes(maskRowBytes * h, "icon mask");
    in.expect(in.atEnd(), subject + "has bytes after its mask");

    for (int y = 0; y < image.height; ++y) {
        const std::size_t stored = h - 1 - std::size_t(y);
        for (int x = 0; x < image.width; ++x) {
            const unsigned index = storedValue(colourRows, colourRowBytes, stored, x, bits);
            if (index >= colourCount)
                in.fail(subject + "colour index is beyond its colour table",
                        colourStart + stored * colourRowBytes + placeOf(std::size_t(x), bits).byte);
            image.index.push_back(std::uint8_t(index));
            image.outside.push_back(storedValue(maskRows, maskRowBytes, stored, x, 1) != 0);
        }
    }
    return image;
}

IconGroupEntry iconGroupEntry(const IconImage& image, std::uint32_t bytes, std::uint16_t id) {
    return {image.width,
            image.height,
            std::uint8_t(image.colours.size()),  // 256 wraps to the stored 0
            1,
            std::uint16_t(image.bitsPerPixel),
            bytes,
            id};
}

std::vector<std::uint8_t> encodeIconGroup(std::span<const IconGroupEntry> entries) {
    std::vector<std::uint8_t> out;
    appendU16(out, 0);
    appendU16(out, kIconGroupType);
    appendU16(out, std::uint32_t(entries.size()));
    for (const IconGroupEntry& e : entries) {
        out.push_back(std::uint8_t(e.width));  // 256 wraps to the stored 0
        out.push_back(std::uint8_t(e.height));
        out.push_back(e.colourCount);
        out.push_back(0);
        appendU16(out, e.planes);
        appendU16(out, e.bitsPerPixel);
        appendU32(out, e.bytes);
        appendU16(out, e.id);
    }
    return out;
}

std::vector<IconGroupEntry> readIconGroup(std::span<const std::uint8_t> bytes, const std::string& name) {
    const std::string subject = name + " ";
    ByteReader in(bytes);
    if (in.u16("icon group reserved word") != 0) in.fail(subject + "reserved word is not 0", 0);
    if (in.u16("icon group type") != kIconGroupType) in.fail(subject + "type is not 1 (icons)", 2);
    const std::uint16_t count = in.u16("icon group count");
    if (count == 0) in.fail(subject + "lists no images", 4);
    std::vector<IconGroupEntry> entries;
    for (std::uint16_t i = 0; i < count; ++i) {
        IconGroupEntry e;
        e.width = storedSide(in.u8("icon width"));
        e.height = storedSide(in.u8("icon height"));
        e.colourCount = in.u8("icon colour count");
        in.skip(1, "icon group entry reserved byte");
        e.planes = in.u16("icon planes");
        e.bitsPerPixel = in.u16("icon bit count");
        e.bytes = in.u32("icon byte count");
        e.id = in.u16("icon ID");
        entries.push_back(e);
    }
    in.expect(in.atEnd(), subject + "has bytes after its entries");
    return entries;
}

IconImage readListedIconImage(std::span<const std::uint8_t> bytes, const IconGroupEntry& entry) {
    const std::string name = "icon " + std::to_string(entry.id);
    if (bytes.size() != entry.bytes)
        throw FormatError(name + " is " + std::to_string(bytes.size()) + " bytes, its group entry says " +
                              std::to_string(entry.bytes),
                          0);
    IconImage image = readIconImage(bytes, name);
    if (image.width != entry.width || image.height != entry.height)
        throw FormatError(name + " is " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                              " pixels, its group entry says " + std::to_string(entry.width) + " x " +
                              std::to_string(entry.height),
                          4);
    if (image.bitsPerPixel != entry.bitsPerPixel)
        throw FormatError(name + " bit count differs from its group entry's", 14);
    return image;
}

}  // namespace zelk::formats
