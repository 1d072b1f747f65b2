// Reading picture records: row order, row padding, byte order, and records
// that do not hold what they claim.
#include "formats/format_error.h"
#include "formats/picture_record.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace zelk {
namespace {

Picture sample(int w, int h) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.at(x, y) = Rgb{std::uint8_t(10 * x), std::uint8_t(100 + y), std::uint8_t(x + y)};
    return p;
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
    // Widths with 0, 1, 2 and 3 pad bytes a row; a reader that ignores them shears the picture.
    for (int w : {4, 5, 6, 7, 161, 169, 172}) {
        const Picture p = sample(w, 3);
        const auto record = writePictureRecord(p);
        EXPECT_EQ(readPictureRecord(record), p) << "width " << w;
    }
}

TEST(PictureRecord, RejectsRecordsThatDoNotHoldWhatTheyClaim) {
    const auto good = writePictureRecord(sample(5, 4));
    struct Case {
        const char* name;
        std::size_t at;
        std::vector<std::uint8_t> bytes;
        std::size_t keep;  // 0: whole record
        const char* check;
        std::size_t offset;
    } cases[] = {
        {"magic", 0, {0x6D}, 0, "magic", 0},
        {"truncated picture", 0, {}, 60, "file length + 8", 4},
        {"file length disagrees with the frame", 4, {0x10}, 0, "file length + 8", 4},
        {"not 24-bit", 8 + 28, {8}, 0, "24 bits", 8 + 28},
        {"colour table", 8 + 46, {2}, 0, "colour table", 8 + 46},
        {"pixel offset past the headers", 8 + 10, {58}, 0, "pixel offset", 8 + 10},
        {"negative height", 8 + 22, {0xFC, 0xFF, 0xFF, 0xFF}, 0, "height is not positive", 8 + 22},
        {"zero width", 8 + 18, {0}, 0, "width is not positive", 8 + 18},
        {"compressed", 8 + 30, {1}, 0, "compressed", 8 + 30},
        {"rows overrun the file", 8 + 22, {9}, 0, "pixel rows", 8 + 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> r = good;
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
}  // namespace zelk
