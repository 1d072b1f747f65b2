// Reading picture records: row order, row padding, byte order, and records
// that do not hold what they claim.
#include "formats/format_error.h"
#include "formats/picture_record.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace zelk::tests {

using formats::FormatError;
using formats::Picture;
using formats::readPictureRecord;
using formats::Rgb;
using formats::writePictureRecord;

using namespace formats;
namespace {

Picture sample(int w, int h) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.at(x, y) = Rgb{std::uint8_t(10 * x), std::uint8_t(100 + y), std::uint8_t(x + y)};
    return p;
}

// A record whose header claims `width` x `height` over `rowBytes` bytes of
// rows; the file length and the file size agree with what follows.
std::vector<std::uint8_t> rawRecord(std::uint32_t width, std::uint32_t height, std::uint32_t rowBytes) {
    std::vector<std::uint8_t> r;
    auto u16 = [&](std::uint32_t v) { r.insert(r.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); };
    auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    const std::uint32_t file = 54 + rowBytes;
    u32(0x0000746C);
    u32(file);
    for (std::uint32_t v : {0x4D42u, file & 0xFFFF, file >> 16, 0u, 0u, 54u, 0u}) u16(v);  // file header
    for (std::uint32_t v : {40u, width, height}) u32(v);
    u16(1);
    u16(24);
    for (std::uint32_t v : {0u, rowBytes, 0u, 0u, 0u, 0u}) u32(v);
    r.resize(8 + file, 0);
    return r;
}

TEST(PictureRecord, StoresRowsBottomUpInBlueGreenRedWithPadding) {
    Picture p(2, 2);
    p.at(0, 0) = {1, 2, 3};  // top-left
    p.at(1, 1) = {4, 5, 6};  // bottom-right
    const auto record = writePictureRecord(p);
    ASSERT_EQ(record.size(), 8u + 54 + 2 * 8);  // 2 pixels = 6 bytes, padded to 8
    EXPECT_EQ(record[0], 0x6C);
    EXPECT_EQ(record[1], 0x74);
    const std::size_t rows = 8 + 54;
    // First stored row is the bottom row: black, then (4,5,6) as 6 5 4, then 2 pad bytes.
    EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + rows, record.begin() + rows + 8),
              (std::vector<std::uint8_t>{0, 0, 0, 6, 5, 4, 0, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + rows + 8, record.begin() + rows + 11),
              (std::vector<std::uint8_t>{3, 2, 1}));
}

TEST(PictureRecord, ReadsBackWhatItWrites) {
    // Widths with 0, 1, 2 and 3 pad bytes a row (a reader that ignores them
    // shears the picture), and the largest sides a reader takes.
    const std::pair<int, int> sizes[] = {
        {4, 3}, {5, 3}, {6, 3}, {7, 3}, {161, 3}, {169, 3}, {172, 3}, {16384, 1}, {1, 16384}};
    for (auto [w, h] : sizes) {
        const Picture p = sample(w, h);
        const auto record = writePictureRecord(p);
        EXPECT_EQ(readPictureRecord(record), p) << w << " x " << h;
    }
}

TEST(PictureRecord, WriterRefusesSidesNoReaderTakes) {
    EXPECT_THROW(writePictureRecord(Picture(16385, 1)), std::length_error);
    EXPECT_THROW(writePictureRecord(Picture(1, 16385)), std::length_error);
}

// Each check of the reader, in the reader's order, has a row whose input only
// that check refuses; the other rows break more than one check and show that
// the first of them reports it.
TEST(PictureRecord, RejectsRecordsThatDoNotHoldWhatTheyClaim) {
    const auto good = writePictureRecord(sample(5, 4));
    auto frameLongerThanTheFile = good;
    frameLongerThanTheFile.push_back(0);
    // 0x55555556 * 3 is 2 in 32 bits, so a 4-byte row "fills" the file.
    const auto wrapping = rawRecord(0x55555556, 1, 4);
    ASSERT_EQ(wrapping.size(), 66u);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> record;
        std::size_t at;
        std::vector<std::uint8_t> bytes;
        std::size_t keep;  // 0: whole record
        const char* check;
        std::size_t offset;
    } cases[] = {
        // clang-format off
        {"magic", good, 0, {0x6D}, 0, "picture magic is not 0x0000746C", 0},
        {"truncated picture", good, 0, {}, 60, "picture file length + 8 differs from the frame length", 4},
        {"file length disagrees with the frame", good, 4, {0x10}, 0,
         "picture file length + 8 differs from the frame length", 4},
        {"a byte after the bitmap file", frameLongerThanTheFile, 0, {}, 0,
         "picture file length + 8 differs from the frame length", 4},
        {"type's first letter", good, 8, {'b'}, 0, "bitmap type is not \"BM\"", 8},
        {"type's second letter", good, 9, {'A'}, 0, "bitmap type is not \"BM\"", 8},
        {"file size disagrees with the file length", good, 8 + 2, {0x77}, 0,
         "bitmap file size differs from the file length", 8 + 2},
        {"pixel offset past the headers", good, 8 + 10, {58}, 0, "pixel offset is not 54", 8 + 10},
        {"info header of another size", good, 8 + 14, {12}, 0, "info header size is not 40", 8 + 14},
        {"zero width with rows that fill its file", rawRecord(0, 4, 0), 0, {}, 0,
         "bitmap width is not positive", 8 + 18},
        {"negative width", good, 8 + 18, {0xFB, 0xFF, 0xFF, 0xFF}, 0, "bitmap width is not positive", 8 + 18},
        {"width above 16384 with its rows", rawRecord(16385, 1, 49156), 0, {}, 0,
         "bitmap width is above 16384", 8 + 18},
        {"width wraps a 32-bit row stride", wrapping, 0, {}, 0, "bitmap width is above 16384", 8 + 18},
        {"zero height with rows that fill its file", rawRecord(5, 0, 0), 0, {}, 0,
         "bitmap height is not positive", 8 + 22},
        {"negative height", good, 8 + 22, {0xFC, 0xFF, 0xFF, 0xFF}, 0, "bitmap height is not positive", 8 + 22},
        {"height above 16384 with its rows", rawRecord(1, 16385, 4 * 16385), 0, {}, 0,
         "bitmap height is above 16384", 8 + 22},
        {"height wraps a 32-bit image size", rawRecord(1, 0x40000001, 4), 0, {}, 0,
         "bitmap height is above 16384", 8 + 22},
        {"two planes", good, 8 + 26, {2}, 0, "planes is not 1", 8 + 26},
        {"not 24-bit", good, 8 + 28, {8}, 0, "bitmap is not 24 bits per pixel", 8 + 28},
        {"compressed", good, 8 + 30, {1}, 0, "bitmap is compressed", 8 + 30},
        {"colour table", good, 8 + 46, {2}, 0, "bitmap has a colour table", 8 + 46},
        {"rows overrun the file", good, 8 + 22, {9}, 0, "pixel rows do not fill the file exactly", 8 + 2},
        {"rows short of the file", good, 8 + 22, {3}, 0, "pixel rows do not fill the file exactly", 8 + 2},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> r = c.record;
        std::copy(c.bytes.begin(), c.bytes.end(), r.begin() + std::ptrdiff_t(c.at));
        if (c.keep) r.resize(c.keep);
        try {
            readPictureRecord(r, 1000);
            ADD_FAILURE() << "accepted";
        } catch (const FormatError& e) {
            EXPECT_NE(e.check().find(c.check), std::string::npos) << e.what();
            EXPECT_EQ(e.offset(), 1000 + c.offset) << e.what();
        }
    }
}

TEST(PictureRecord, ReadsEveryHeaderFieldOnlyInsideAShortFrame) {
    const auto good = writePictureRecord(sample(3, 2));
    for (std::size_t keep = 0; keep < good.size(); ++keep) {
        const std::vector<std::uint8_t> r(good.begin(), good.begin() + std::ptrdiff_t(keep));
        EXPECT_THROW(readPictureRecord(r), FormatError) << "kept " << keep << " bytes";
    }
}

}  // namespace
}  // namespace zelk::tests
