#include "formats/picture_record.h"

#include "formats/byte_reader.h"
#include "formats/byte_writer.h"

#include <stdexcept>
#include <string>

namespace zelk::formats {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize;

// No picture of this program comes near this; a larger side is a broken
// header, refused before its rows are sized or allocated.
constexpr std::int32_t kMaxSide = 16384;

std::uint64_t rowStride(std::int32_t width) { return (std::uint64_t(width) * 3 + 3) & ~std::uint64_t(3); }

}  // namespace

std::vector<std::uint8_t> encodeBitmapFile(const Picture& picture) {
    if (picture.width > kMaxSide || picture.height > kMaxSide)
        throw std::length_error("picture sides above 16384 pixels are not written");
    const std::uint64_t stride = rowStride(picture.width);
    const auto imageSize = std::uint32_t(stride * std::uint64_t(picture.height));
    std::vector<std::uint8_t> out;
    out.reserve(kPixelOffset + imageSize);
    out.push_back('B');
    out.push_back('M');
    appendU32(out, kPixelOffset + imageSize);
    appendU32(out, 0);  // two reserved words
    appendU32(out, kPixelOffset);
    appendU32(out, kInfoHeaderSize);
    appendU32(out, std::uint32_t(picture.width));
    appendU32(out, std::uint32_t(picture.height));
    appendU16(out, 1);
    appendU16(out, 24);
    appendU32(out, 0);
    appendU32(out, imageSize);
    for (int i = 0; i < 4; ++i) appendU32(out, 0);  // resolution and colour counts
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgb& p = picture.at(x, y);
            out.insert(out.end(), {p.b, p.g, p.r});
        }
        out.resize(out.size() + (stride - std::uint64_t(picture.width) * 3), 0);
    }
    return out;
}

std::vector<std::uint8_t> framePictureRecord(std::span<const std::uint8_t> bitmapFile) {
    if (bitmapFile.size() > 0xFFFFFFFFu - 8) throw std::length_error("bitmap file too long for a picture record");
    std::vector<std::uint8_t> out;
    out.reserve(bitmapFile.size() + 8);
    appendU32(out, kPictureRecordMagic);
    appendU32(out, std::uint32_t(bitmapFile.size()));
    out.insert(out.end(), bitmapFile.begin(), bitmapFile.end());
    return out;
}

std::vector<std::uint8_t> writePictureRecord(const Picture& picture) {
    return framePictureRecord(encodeBitmapFile(picture));
}

BitmapRows readBitmapRows(std::span<const std::uint8_t> record, std::size_t baseOffset) {
    ByteReader in(record, baseOffset);
    if (in.u32("picture magic") != kPictureRecordMagic) in.fail("picture magic is not 0x0000746C", 0);
    const std::uint32_t fileLength = in.u32("picture file length");
    if (std::uint64_t(fileLength) + 8 != record.size())
        in.fail("picture file length + 8 differs from the frame length", 4);

    ByteReader file(record.subspan(8), baseOffset + 8);
    if (file.u8("bitmap type") != 'B' || file.u8("bitmap type") != 'M') file.fail("bitmap type is not \"BM\"", 0);
    if (file.u32("bitmap file size") != fileLength) file.fail("bitmap file size differs from the file length", 2);
    file.skip(4, "bitmap reserved words");
    if (file.u32("pixel offset") != kPixelOffset)
        file.fail("pixel offset is not 54 (a colour table or extra header)", 10);
    if (file.u32("info header size") != kInfoHeaderSize) file.fail("info header size is not 40", 14);
    const std::int32_t width = file.i32("bitmap width");
    if (width <= 0) file.fail("bitmap width is not positive", 18);
    if (width > kMaxSide) file.fail("bitmap width is above 16384", 18);
    const std::int32_t height = file.i32("bitmap height");
    if (height <= 0) file.fail("bitmap height is not positive (top-down rows are not supported)", 22);
    if (height > kMaxSide) file.fail("bitmap height is above 16384", 22);
    if (file.u16("planes") != 1) file.fail("planes is not 1", 26);
    if (file.u16("bits per pixel") != 24) file.fail("bitmap is not 24 bits per pixel", 28);
    if (file.u32("compression") != 0) file.fail("bitmap is compressed", 30);
    file.skip(4, "image size");
    file.skip(8, "resolution");
    if (file.u32("colours used") != 0) file.fail("bitmap has a colour table", 46);
    file.skip(4, "colours important");

    const std::uint64_t stride = rowStride(width);
    if (std::uint64_t(kPixelOffset) + stride * std::uint64_t(height) != fileLength)
        file.fail("pixel rows do not fill the file exactly (54 + stride * height != file length)", 2);

    return {width, height, std::size_t(stride), record.subspan(8 + kPixelOffset)};
}

Picture readPictureRecord(std::span<const std::uint8_t> record, std::size_t baseOffset) {
    const BitmapRows bitmap = readBitmapRows(record, baseOffset);
    Picture picture(bitmap.width, bitmap.height);
    for (int y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* row = bitmap.row(y);
        for (int x = 0; x < bitmap.width; ++x) picture.at(x, y) = Rgb{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
    }
    return picture;
}

}  // namespace zelk::formats
