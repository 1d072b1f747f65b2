#pragma once

// The window icon's stored format: bitmap icon images and the icon group
// directory that lists them.
//
// A bitmap icon image is a 40-byte bitmap header whose height counts the
// image twice (colour image and mask), a colour table of 4-byte entries
// (blue, green, red, 0), the colour rows and then the 1-bit mask rows, both
// bottom row first and each padded to 32 bits. A mask bit of 1 marks a pixel
// outside the drawing.
//
// The group directory is a 6-byte header (reserved 0, type 1 for icons, the
// count) and one 14-byte entry per image: width, height (0 for 256), colour
// count (0 for 256), reserved, planes, bits per pixel, the image's length in
// bytes and its icon ID.

#include "formats/picture.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zelk::formats {

inline constexpr std::uint32_t kIconHeaderSize = 40;
inline constexpr std::uint32_t kIconColourEntrySize = 4;
inline constexpr std::uint32_t kIconGroupHeaderSize = 6;
inline constexpr std::uint32_t kIconGroupEntrySize = 14;
// The group entry holds a side in one byte, 256 stored as 0.
inline constexpr int kIconMaxSide = 256;

// The stored length of one row of `width` pixels of `bitsPerPixel` bits,
// padded to 32 bits; the mask's rows are those of 1 bit a pixel.
std::size_t iconRowBytes(std::size_t width, std::size_t bitsPerPixel);

struct IconImage {
    int width = 0;
    int height = 0;                   // of the picture, not the doubled one in the header
    std::vector<Rgb> colours;         // the encoder writes a full table, 2 to the bits per pixel entries
    std::vector<std::uint8_t> index;  // width * height colour indexes, top row first
    std::vector<bool> outside;        // width * height mask bits, top row first
    int bitsPerPixel = 0;             // 1, 4 or 8

    std::uint8_t indexAt(int x, int y) const { return index[std::size_t(y) * width + x]; }
    bool outsideAt(int x, int y) const { return outside[std::size_t(y) * width + x]; }
};

// Header, colour table, colour rows, mask rows. Throws std::invalid_argument
// for an image the format cannot hold: a side outside 1 to 256, bits per pixel
// other than 1, 4 or 8 or a colour table not full for them, pixel arrays of
// the wrong size or an index beyond the colour table.
std::vector<std::uint8_t> encodeIconImage(const IconImage& image);

// Reads one bitmap icon image that fills `bytes` exactly. Throws FormatError
// whose check starts with `name`, at an offset from the image's start.
IconImage readIconImage(std::span<const std::uint8_t> bytes, const std::string& name);

struct IconGroupEntry {
    int width = 0, height = 0;     // 1 to 256
    std::uint8_t colourCount = 0;  // as stored, 0 for 256
    std::uint16_t planes = 0, bitsPerPixel = 0;
    std::uint32_t bytes = 0;
    std::uint16_t id = 0;
};

// The entry that lists `image`, stored in `bytes` bytes as icon `id`.
IconGroupEntry iconGroupEntry(const IconImage& image, std::uint32_t bytes, std::uint16_t id);

std::vector<std::uint8_t> encodeIconGroup(std::span<const IconGroupEntry> entries);

// Reads a group directory that fills `bytes` exactly and lists at least one
// image. Throws FormatError whose check starts with `name`.
std::vector<IconGroupEntry> readIconGroup(std::span<const std::uint8_t> bytes, const std::string& name);

// Reads the image that `entry` lists and checks that the entry describes it:
// its length, size and bits per pixel. Throws FormatError naming the icon ID.
IconImage readListedIconImage(std::span<const std::uint8_t> bytes, const IconGroupEntry& entry);

}  // namespace zelk::formats
