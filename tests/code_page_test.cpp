// Captions are stored in code page 1251 and shown as UTF-8.
#include "runtime/code_page_1251.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zelk::tests {
namespace {

std::string decode(std::vector<std::uint8_t> bytes) { return zelk::runtime::decodeCodePage1251(bytes); }

// The code page's mapping of 0x80 to 0xFF, sixteen bytes a row. 0x98 has no
// character and decodes to the replacement character U+FFFD.
const char* const kUpperHalf[128] = {
    "\u0402", "\u0403", "\u201A", "\u0453", "\u201E", "\u2026", "\u2020", "\u2021", "\u20AC", "\u2030", "\u0409",
    "\u2039", "\u040A", "\u040C", "\u040B", "\u040F", "\u0452", "\u2018", "\u2019", "\u201C", "\u201D", "\u2022",
    "\u2013", "\u2014", "\uFFFD", "\u2122", "\u0459", "\u203A", "\u045A", "\u045C", "\u045B", "\u045F", "\u00A0",
    "\u040E", "\u045E", "\u0408", "\u00A4", "\u0490", "\u00A6", "\u00A7", "\u0401", "\u00A9", "\u0404", "\u00AB",
    "\u00AC", "\u00AD", "\u00AE", "\u0407", "\u00B0", "\u00B1", "\u0406", "\u0456", "\u0491", "\u00B5", "\u00B6",
    "\u00B7", "\u0451", "\u2116", "\u0454", "\u00BB", "\u0458", "\u0405", "\u0455", "\u0457", "А",      "Б",
    "В",      "Г",      "Д",      "Е",      "Ж",      "З",      "И",      "Й",      "К",      "Л",      "М",
    "Н",      "О",      "П",      "Р",      "С",      "Т",      "У",      "Ф",      "Х",      "Ц",      "Ч",
    "Ш",      "Щ",      "Ъ",      "Ы",      "Ь",      "Э",      "Ю",      "Я",      "а",      "б",      "в",
    "г",      "д",      "е",      "ж",      "з",      "и",      "й",      "к",      "л",      "м",      "н",
    "о",      "п",      "р",      "с",      "т",      "у",      "ф",      "х",      "ц",      "ч",      "ш",
    "щ",      "ъ",      "ы",      "ь",      "э",      "ю",      "я",
};

TEST(CodePage1251, EveryUpperHalfByteDecodesToItsCharacter) {
    for (int b = 0x80; b <= 0xFF; ++b)
        EXPECT_EQ(decode({std::uint8_t(b)}), kUpperHalf[b - 0x80]) << "byte 0x" << std::hex << b;
}

TEST(CodePage1251, LowerHalfIsAscii) {
    for (int b = 0x00; b < 0x80; ++b) EXPECT_EQ(decode({std::uint8_t(b)}), std::string(1, char(b))) << "byte " << b;
}

TEST(CodePage1251, StoredCaptionsDecode) {
    EXPECT_EQ(decode({0xC4, 0xE2, 0xE8, 0xE6, 0xE5, 0xED, 0xE8, 0xE5}), "Движение");
    EXPECT_EQ(decode({0xC4, 0xE2, 0xE8, 0xE6, 0xE5, 0xED, 0xE8, 0xE5, 0x32}), "Движение2");
    EXPECT_EQ(decode({}), "");
}

}  // namespace
}  // namespace zelk::tests
