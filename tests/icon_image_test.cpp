// The icon format: bitmap icon images and the icon group directory, written
// byte for byte, read back, and broken ones refused each by its own check.
#include "formats/format_error.h"
#include "formats/icon_image.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace zelk::tests {
namespace {

using formats::FormatError;
using formats::IconGroupEntry;
using formats::IconImage;
using formats::Rgb;
using Bytes = std::vector<std::uint8_t>;

void appendLittleEndian(Bytes& out, std::uint32_t v, int size) {
    for (int i = 0; i < size; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}

void putLittleEndian(Bytes& bytes, std::size_t at, std::uint32_t v, int size) {
    for (int i = 0; i < size; ++i) bytes.at(at + i) = std::uint8_t(v >> (8 * i));
}

// A header as the layout has it: size, width, doubled height, planes, bits,
// compression, image size, resolution x and y, colours used and important.
Bytes header(std::uint32_t width, std::uint32_t doubledHeight, std::uint32_t bits, std::uint32_t imageSize) {
    Bytes out;
    for (std::uint32_t v : {40u, width, doubledHeight}) appendLittleEndian(out, v, 4);
    appendLittleEndian(out, 1, 2);
    appendLittleEndian(out, bits, 2);
    for (std::uint32_t v : {0u, imageSize, 0u, 0u, 0u, 0u}) appendLittleEndian(out, v, 4);
    return out;
}

std::vector<Rgb> greyRamp(int count) {
    std::vector<Rgb> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back({std::uint8_t(i), std::uint8_t(0x10 + i), std::uint8_t(0x20 + i)});
    return colours;
}

IconImage image(int width, int height, int bits, std::vector<std::uint8_t> index, std::vector<bool> outside) {
    return {width, height, greyRamp(1 << bits), std::move(index), std::move(outside), bits};
}

// An image whose indexes and mask bits differ from pixel to pixel and from row to row.
IconImage patterned(int width, int height, int bits) {
    std::vector<std::uint8_t> index;
    std::vector<bool> outside;
    for (int i = 0; i < width * height; ++i) {
        index.push_back(std::uint8_t((i * 7 + i / width) % (1 << bits)));
        outside.push_back((i * 5 + i / width) % 3 == 0);
    }
    return image(width, height, bits, index, outside);
}

TEST(IconImageFormat, LaysOutHeaderColourTableColourRowsAndMaskRowsBottomFirst) {
    // 3 x 2 at 1 bit: each row 3 bits, padded to 4 bytes. Top row indexes
    // 1 0 1 with the last pixel outside; bottom row 0 1 1 with the first.
    Bytes twoColours = header(3, 4, 1, 16);
    for (std::uint8_t b : {0x20, 0x10, 0x00, 0x00, 0x21, 0x11, 0x01, 0x00}) twoColours.push_back(b);  // colours 0, 1
    for (std::uint8_t b : {0x60, 0, 0, 0, 0xA0, 0, 0, 0}) twoColours.push_back(b);
    for (std::uint8_t b : {0x80, 0, 0, 0, 0x20, 0, 0, 0}) twoColours.push_back(b);

    // 9 x 1 at 4 bits: 36 bits padded to 8 bytes, the mask's 9 bits to 4.
    Bytes sixteenColours = header(9, 2, 4, 12);
    for (std::uint8_t i = 0; i < 16; ++i)
        for (std::uint8_t b : {std::uint8_t(0x20 + i), std::uint8_t(0x10 + i), i, std::uint8_t(0)})
            sixteenColours.push_back(b);
    for (std::uint8_t b : {0x12, 0x34, 0x56, 0x78, 0xF0, 0, 0, 0}) sixteenColours.push_back(b);
    for (std::uint8_t b : {0x00, 0x80, 0, 0}) sixteenColours.push_back(b);

    const struct {
        const char* name;
        IconImage image;
        Bytes bytes;
    } cases[] = {
        {"3 x 2, 2 colours", image(3, 2, 1, {1, 0, 1, 0, 1, 1}, {0, 0, 1, 1, 0, 0}), twoColours},
        {"9 x 1, 16 colours",
         image(9, 1, 4, {1, 2, 3, 4, 5, 6, 7, 8, 15}, {0, 0, 0, 0, 0, 0, 0, 0, 1}),
         sixteenColours},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(formats::encodeIconImage(c.image), c.bytes);
        const IconImage read = formats::readIconImage(c.bytes, "icon");
        EXPECT_EQ(read.index, c.image.index);
        EXPECT_EQ(read.outside, c.image.outside);
        EXPECT_EQ(read.colours, c.image.colours);
    }
}

TEST(IconImageFormat, ReadsBackWhatItEncodesAtEveryDepth) {
    const struct {
        int width, height, bits;
        std::size_t bytes;
    } cases[] = {
        {32, 32, 1, 304},  // the stored images' shapes and lengths
        {32, 32, 4, 744},
        {16, 16, 4, 296},
        {33, 3, 1, 96},  // a row one bit past 32
        {5, 2, 8, 1088},
        {256, 1, 1, 112},  // the widest a group entry holds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " + std::to_string(c.bits));
        const IconImage written = patterned(c.width, c.height, c.bits);
        const Bytes bytes = formats::encodeIconImage(written);
        EXPECT_EQ(bytes.size(), c.bytes);
        const IconImage read = formats::readIconImage(bytes, "icon");
        EXPECT_EQ(read.width, c.width);
        EXPECT_EQ(read.height, c.height);
        EXPECT_EQ(read.bitsPerPixel, c.bits);
        EXPECT_EQ(read.colours, written.colours);
        EXPECT_EQ(read.index, written.index);
        EXPECT_EQ(read.outside, written.outside);
    }
}

TEST(IconImageFormat, EncoderRefusesWhatTheFormatCannotHold) {
    const struct {
        const char* name;
        IconImage image;
    } cases[] = {
        {"no width", image(0, 1, 1, {}, {})},
        {"wider than a group entry holds", patterned(257, 1, 1)},
        {"three colours", {1, 1, greyRamp(3), {0}, {false}, 1}},
        {"index beyond the colour table", {2, 1, greyRamp(2), {2, 0}, {false, false}, 1}},
        {"a mask bit short", {2, 1, greyRamp(2), {0, 0}, {false}, 1}},
    };
    for (const auto& c : cases) EXPECT_THROW(formats::encodeIconImage(c.image), std::invalid_argument) << c.name;
}

struct Breakage {
    const char* name;
    std::function<void(Bytes&)> apply;
    const char* check;
    std::size_t offset;
};

// Each breakage is refused by one check only: without it the bytes would
// read as an image.
void expectRefused(const Breakage& b, const std::function<void(const Bytes&)>& read, const Bytes& sound) {
    SCOPED_TRACE(b.name);
    Bytes bytes = sound;
    b.apply(bytes);
    try {
        read(bytes);
        ADD_FAILURE() << "accepted";
    } catch (const FormatError& e) {
        EXPECT_EQ(e.check(), b.check);
        EXPECT_EQ(e.offset(), b.offset);
    }
}

TEST(IconImageReader, RefusesEachBrokenImageByItsOwnCheck) {
    // 32 x 1 at 1 bit, all index 0 and inside: header, 2 colours at 40,
    // the colour row at 48 and the mask row at 52.
    const Bytes sound = formats::encodeIconImage(image(32, 1, 1, Bytes(32, 0), std::vector<bool>(32, false)));
    ASSERT_EQ(sound.size(), 56u);
    auto grow = [](Bytes& b, std::size_t count) { b.resize(b.size() + count, 0); };
    // clang-format off
    const Breakage cases[] = {
        {"header size", [](Bytes& b) { putLittleEndian(b, 0, 12, 4); }, "icon bitmap header size is not 40", 0},
        {"no width", [](Bytes& b) { putLittleEndian(b, 4, 0, 4); b.resize(48); }, "icon width is not 1 to 256 pixels", 4},
        {"width 257", [&](Bytes& b) { putLittleEndian(b, 4, 257, 4); grow(b, 64); }, "icon width is not 1 to 256 pixels", 4},
        {"odd doubled height", [](Bytes& b) { putLittleEndian(b, 8, 3, 4); },
         "icon height is not twice 1 to 256 pixels (colour image and mask)", 8},
        {"no height", [](Bytes& b) { putLittleEndian(b, 8, 0, 4); b.resize(48); },
         "icon height is not twice 1 to 256 pixels (colour image and mask)", 8},
        {"height 257", [&](Bytes& b) { putLittleEndian(b, 8, 514, 4); grow(b, 2048); },
         "icon height is not twice 1 to 256 pixels (colour image and mask)", 8},
        {"two planes", [](Bytes& b) { putLittleEndian(b, 12, 2, 2); }, "icon planes is not 1", 12},
        // 3 bits a pixel: 8 colours and 12-byte rows; a pixel would straddle two bytes.
        {"3 bits a pixel", [&](Bytes& b) { putLittleEndian(b, 14, 3, 2); grow(b, 24 + 8); },
         "icon bit count is not 1, 4 or 8", 14},
        {"compressed", [](Bytes& b) { putLittleEndian(b, 16, 1, 4); }, "icon is compressed", 16},
        {"3 colours at 1 bit", [&](Bytes& b) { putLittleEndian(b, 32, 3, 4); grow(b, 4); },
         "icon has more colours than its bit count allows", 32},
        {"one colour and an index of 1",
         [](Bytes& b) {
             putLittleEndian(b, 32, 1, 4);
             b.erase(b.begin() + 44, b.begin() + 48);
             b[46] = 0x01;  // pixel 23
         },
         "icon colour index is beyond its colour table", 46},
        {"a byte short", [](Bytes& b) { b.pop_back(); }, "icon mask runs past the end of the frame", 52},
        {"a byte over", [&](Bytes& b) { grow(b, 1); }, "icon has bytes after its mask", 56},
    };
    // clang-format on
    for (const Breakage& b : cases)
        expectRefused(
            b, [](const Bytes& bytes) { formats::readIconImage(bytes, "icon"); }, sound);
}

TEST(IconGroupFormat, ListsEachImageInFourteenBytes) {
    const IconGroupEntry entries[] = {
        {32, 32, 2, 1, 1, 304, 30001},
        {16, 16, 16, 1, 4, 296, 30003},
        {256, 256, 0, 1, 8, 0x00011234, 0xABCD},  // 256 is stored as 0
    };
    const Bytes stored = {
        0, 0, 1, 0, 3,    0,    32, 32, 2,    0,    1, 0, 1, 0, 0x30, 0x01, 0, 0, 0x31, 0x75, 16,   16, 16,   0,
        1, 0, 4, 0, 0x28, 0x01, 0,  0,  0x33, 0x75, 0, 0, 0, 0, 1,    0,    8, 0, 0x34, 0x12, 0x01, 0,  0xCD, 0xAB,
    };
    EXPECT_EQ(formats::encodeIconGroup(entries), stored);
    const std::vector<IconGroupEntry> read = formats::readIconGroup(stored, "group");
    ASSERT_EQ(read.size(), std::size(entries));
    for (std::size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_EQ(read[i].width, entries[i].width);
        EXPECT_EQ(read[i].height, entries[i].height);
        EXPECT_EQ(read[i].colourCount, entries[i].colourCount);
        EXPECT_EQ(read[i].planes, entries[i].planes);
        EXPECT_EQ(read[i].bitsPerPixel, entries[i].bitsPerPixel);
        EXPECT_EQ(read[i].bytes, entries[i].bytes);
        EXPECT_EQ(read[i].id, entries[i].id);
    }
}

TEST(IconGroupReader, RefusesEachBrokenGroupByItsOwnCheck) {
    const IconGroupEntry entry{32, 32, 2, 1, 1, 304, 30001};
    const Bytes sound = formats::encodeIconGroup(std::span(&entry, 1));
    // clang-format off
    const Breakage cases[] = {
        {"reserved word", [](Bytes& b) { b[0] = 1; }, "group reserved word is not 0", 0},
        {"cursors", [](Bytes& b) { b[2] = 2; }, "group type is not 1 (icons)", 2},
        {"no images", [](Bytes& b) { b[4] = 0; b.resize(6); }, "group lists no images", 4},
        {"a count past the entries", [](Bytes& b) { b[4] = 2; }, "icon width runs past the end of the frame", 20},
        {"a byte over", [](Bytes& b) { b.push_back(0); }, "group has bytes after its entries", 20},
    };
    // clang-format on
    for (const Breakage& b : cases)
        expectRefused(
            b, [](const Bytes& bytes) { formats::readIconGroup(bytes, "group"); }, sound);
}

TEST(IconGroupReader, RefusesAnImageItsEntryMisdescribes) {
    const Bytes icon = formats::encodeIconImage(patterned(32, 16, 4));
    const IconGroupEntry sound{32, 16, 16, 1, 4, std::uint32_t(icon.size()), 30002};
    const IconImage read = formats::readListedIconImage(icon, sound);
    EXPECT_EQ(read.index, patterned(32, 16, 4).index);

    const struct {
        const char* name;
        IconGroupEntry entry;
        const char* check;
    } cases[] = {
        {"byte count",
         {32, 16, 16, 1, 4, std::uint32_t(icon.size()) + 1, 30002},
         "icon 30002 is 424 bytes, its group entry says 425"},
        {"width",
         {16, 16, 16, 1, 4, std::uint32_t(icon.size()), 30002},
         "icon 30002 is 32 x 16 pixels, its group entry says 16 x 16"},
        {"height",
         {32, 32, 16, 1, 4, std::uint32_t(icon.size()), 30002},
         "icon 30002 is 32 x 16 pixels, its group entry says 32 x 32"},
        {"bit count",
         {32, 16, 16, 1, 8, std::uint32_t(icon.size()), 30002},
         "icon 30002 bit count differs from its group entry's"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            formats::readListedIconImage(icon, c.entry);
            ADD_FAILURE() << "accepted";
        } catch (const FormatError& e) {
            EXPECT_EQ(e.check(), c.check);
        }
    }
}

}  // namespace
}  // namespace zelk::tests
