#pragma once

#include "formats/picture.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zelk::formats {

inline constexpr std::uint32_t kPictureRecordMagic = 0x0000746C;  // "lt\0\0"

// The 24-bit bottom-up bitmap file of `picture` (14-byte file header,
// 40-byte info header, no colour table, rows padded to 4 bytes). A side above
// 16384 pixels, which no reader here accepts, throws std::length_error.
std::vector<std::uint8_t> encodeBitmapFile(const Picture& picture);

// Magic, file length, then the bitmap file.
std::vector<std::uint8_t> framePictureRecord(std::span<const std::uint8_t> bitmapFile);
std::vector<std::uint8_t> writePictureRecord(const Picture& picture);

// The pixel rows of a checked picture record, as stored: 24-bit blue, green,
// red, bottom row first, each row `stride` bytes. Empty for no picture.
struct BitmapRows {
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    std::span<const std::uint8_t> rows;

    bool empty() const { return width == 0; }
    // Row y counted from the top, as displayed.
    const std::uint8_t* row(int y) const { return rows.data() + std::size_t(height - 1 - y) * stride; }
};

// Checks one picture record as readPictureRecord does, without decoding it:
// the rows returned lie inside `record` and fill it exactly.
BitmapRows readBitmapRows(std::span<const std::uint8_t> record, std::size_t baseOffset = 0);

// Reads one picture record that fills `record` exactly (the frame that the form
// description puts around it). Throws FormatError naming the failed check and
// its offset, counted from `baseOffset` (the record's place in the outer frame).
// A side above 16384 pixels is refused before anything is allocated.
Picture readPictureRecord(std::span<const std::uint8_t> record, std::size_t baseOffset = 0);

}  // namespace zelk::formats
