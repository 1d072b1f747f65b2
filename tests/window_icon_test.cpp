// The runtime's window icon: icon group 1 read from the image, decoded with
// its mask as transparency, and given to the window.
#include "icon_reader.h"
#include "qt_support.h"

#include "formats/format_error.h"
#include "runtime/form_window.h"
#include "runtime/start_up.h"
#include "runtime/window_icon.h"

#include <QPixmap>

#include <algorithm>

namespace zelk::tests {
namespace {

constexpr std::uint16_t kIconIds[] = {30001, 30002, 30003};

TEST(WindowIcon, DecodesTheGroupsImagesInOrderWithTheirMasks) {
    qtApp();
    const std::vector<runtime::IconImage> images = runtime::readIconGroup(process());
    ASSERT_EQ(images.size(), std::size(kIconIds));
    for (std::size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE("icon " + std::to_string(kIconIds[i]));
        const BitmapIcon stored = storedIcon(kIconIds[i]);
        const QImage& pixels = images[i].pixels;
        EXPECT_EQ(images[i].bitCount, stored.bitCount);
        ASSERT_EQ(pixels.size(), QSize(stored.width, stored.height()));
        for (int y = 0; y < pixels.height(); ++y)
            for (int x = 0; x < pixels.width(); ++x) {
                const QRgb want = stored.outsideAt(x, y) ? qRgba(0, 0, 0, 0) : (0xFF000000u | stored.colourAt(x, y));
                ASSERT_EQ(pixels.pixel(x, y), want) << "at " << x << ", " << y;
            }
    }
}

enum class Fails { Format, Descriptor, Address, Other };

Fails failureOf(const std::runtime_error& e) {
    if (dynamic_cast<const formats::FormatError*>(&e)) return Fails::Format;
    if (dynamic_cast<const runtime::BadDescriptor*>(&e)) return Fails::Descriptor;
    if (dynamic_cast<const runtime::BadAddress*>(&e)) return Fails::Address;
    return Fails::Other;
}

struct Breakage {
    const char* what;
    std::uint32_t at;  // address in the image
    std::uint32_t value;
    int size;
    Fails fails;
    const char* message;
};

std::uint32_t groupEntry(int i) { return symbol("icon_group") + 6 + 14 * std::uint32_t(i); }
std::uint32_t entryField(std::uint16_t id, std::uint32_t field) {
    return resourceEntry(formats::resource_directory::kIcon, id) + field;
}

class BrokenIcon : public testing::Test {
protected:
    // A process over a copy of the image with `b` written into it.
    runtime::Process& processWith(const Breakage& b) {
        patched_ = std::make_unique<PatchedImage>(std::vector<Write>{{b.at, littleEndianBytes(b.value, b.size)}});
        return patched_->process();
    }
    std::unique_ptr<PatchedImage> patched_;
};

TEST_F(BrokenIcon, IsAnErrorNamingTheRecordNotAStrayRead) {
    // clang-format off
    const Breakage cases[] = {
        {"group type", symbol("icon_group") + 2, 2, 2, Fails::Format, "icon group 1 type is not 1"},
        {"group count", symbol("icon_group") + 4, 200, 2, Fails::Format, "runs past the end"},
        {"entry's icon ID", groupEntry(1) + 12, 30009, 2, Fails::Descriptor, "no resource of type 3 with ID 30009"},
        {"entry's byte count", groupEntry(1) + 8, 745, 4, Fails::Format,
         "icon 30002 is 744 bytes, its group entry says 745"},
        {"header size", symbol("icon.30002"), 41, 4, Fails::Format, "icon 30002 bitmap header size is not 40"},
        {"entry's height", groupEntry(2) + 1, 15, 1, Fails::Format,
         "icon 30003 is 16 x 16 pixels, its group entry says 16 x 15"},
        {"entry's bit count", groupEntry(0) + 6, 4, 2, Fails::Format, "icon 30001 bit count differs from its group"},
        {"colours used", symbol("icon.30002") + 32, 4, 4, Fails::Format, "icon 30002 has bytes after its mask"},
        {"icon link", entryField(30003, formats::resource_directory::kData), 0xFFFFFFF0, 4, Fails::Address, "lie outside the image"},
        {"icon size", entryField(30001, formats::resource_directory::kDataSize), 0x00FFFFFF, 4, Fails::Address, "lie outside the image"},
        {"directory link", image_symbols::kImageBase + formats::module_header::kResourceDirectory, 0x7FFFFFF0, 4,
         Fails::Address, "resource count"},
        // 0x0CCCCCCD entries of 20 bytes are 4 bytes in 32 bits.
        {"resource count", symbol("resource_directory"), 0x0CCCCCCD, 4, Fails::Address,
         "resource directory's 214748365 entries lie outside the image"},
    };
    // clang-format on
    for (const Breakage& b : cases) {
        SCOPED_TRACE(b.what);
        runtime::Process& broken = processWith(b);
        try {
            runtime::readIconGroup(broken);
            ADD_FAILURE() << "accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(failureOf(e), b.fails) << e.what();
            EXPECT_NE(std::string(e.what()).find(b.message), std::string::npos) << e.what();
        }
    }
}

TEST_F(BrokenIcon, LeavesTheWindowWithoutAnIconAndSaysSo) {
    qtApp();
    runtime::Process& broken = processWith({"group type", symbol("icon_group") + 2, 2, 2, Fails::Format, ""});
    QWidget window;
    testing::internal::CaptureStderr();
    runtime::applyWindowIcon(window, broken);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("without its icon: icon group 1 type is not 1 (icons) at offset 2"), std::string::npos) << said;
    EXPECT_TRUE(window.windowIcon().isNull());
}

}  // namespace
}  // namespace zelk::tests
