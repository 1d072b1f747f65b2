// The bitmap files inside the stored form description are the painted ones,
// byte for byte, so what the picture tests check of the painted bitmaps holds
// for the pixels the program carries.
#include "test_support.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zelk::tests {
namespace {

struct StoredBitmap {
    const char* painted;
    std::size_t offset;  // of its "BM" in the form description
    std::size_t length;
};

const StoredBitmap kBitmaps[] = {
    {"/scene.bmp", 134, 944726},
    {"/img3.bmp", 945008, 87258},
    {"/img2.bmp", 1032307, 86922},
    {"/img1.bmp", 1119270, 79430},
};

TEST(StoredPictures, EachBitmapFileIsThePaintedOne) {
    const auto description = at(symbol("form_description"), 1198714);
    for (const StoredBitmap& b : kBitmaps) {
        SCOPED_TRACE(b.painted);
        std::ifstream in(std::string(ZELK_ART_DIR) + b.painted, std::ios::binary);
        ASSERT_TRUE(in) << "no painted bitmap";
        const std::vector<std::uint8_t> painted((std::istreambuf_iterator<char>(in)), {});
        ASSERT_EQ(painted.size(), b.length);
        const auto stored = description.subspan(b.offset, b.length);
        const auto differs = std::ranges::mismatch(stored, painted).in1;
        EXPECT_EQ(differs, stored.end()) << "first difference at byte " << (differs - stored.begin()) << " of the file";
    }
}

}  // namespace
}  // namespace zelk::tests
