#include "runtime/window_icon.h"

#include "formats/byte_reader.h"
#include "formats/module_header.h"
#include "runtime/resources.h"

#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <string>

namespace zelk::runtime {
namespace {


struct GroupEntry {
    int width, height;
    std::uint16_t bitCount;
    std::uint32_t bytes;
    std::uint16_t id;
};

int iconSide(std::uint8_t stored) { return stored ? stored : 256; }

std::vector<GroupEntry> readGroupEntries(std::span<const std::uint8_t> group, std::uint32_t groupId) {
    const std::string name = "icon group " + std::to_string(groupId) + " ";
    formats::ByteReader in(group);
    if (in.u16("icon group reserved word") != 0) in.fail(name + "reserved word is not 0", 0);
    if (in.u16("icon group type") != 1) in.fail(name + "type is not 1 (icons)", 2);
    const std::uint16_t count = in.u16("icon group count");
    if (count == 0) in.fail(name + "lists no images", 4);
    std::vector<GroupEntry> entries;
    for (std::uint16_t i = 0; i < count; ++i) {
        GroupEntry e{};
        e.width = iconSide(in.u8("icon width"));
        e.height = iconSide(in.u8("icon height"));
        in.skip(2, "colour count and reserved byte");
        in.skip(2, "planes");
        e.bitCount = in.u16("icon bit count");
        e.bytes = in.u32("icon byte count");
        e.id = in.u16("icon ID");
        entries.push_back(e);
    }
    in.expect(in.atEnd(), name + "has bytes after its entries");
    return entries;
}

// A bitmap icon image: header, colour table, colour rows and mask rows, both
// bottom row first and padded to 32 bits.
IconImage decodeIconImage(std::span<const std::uint8_t> bytes, const GroupEntry& entry) {
    const std::string name = "icon " + std::to_string(entry.id) + " ";
    if (bytes.size() != entry.bytes)
        throw formats::FormatError(name + "is " + std::to_string(bytes.size()) + " bytes, its group entry says " +
                              std::to_string(entry.bytes),
                          0);
    formats::ByteReader in(bytes);
    if (in.u32("bitmap header size") != 40) in.fail(name + "bitmap header size is not 40", 0);
    if (in.i32("icon width") != entry.width) in.fail(name + "width differs from its group entry", 4);
    if (in.i32("icon height") != 2 * entry.height)
        in.fail(name + "height is not twice its group entry's (colour image and mask)", 8);
    if (in.u16("planes") != 1) in.fail(name + "has more than one plane", 12);
    const std::uint16_t bits = in.u16("bit count");
    if (bits != entry.bitCount || (bits != 1 && bits != 4 && bits != 8))
        in.fail(name + "bit count is not its group entry's 1, 4 or 8", 14);
    if (in.u32("compression") != 0) in.fail(name + "is compressed", 16);
    in.skip(12, "image size and resolution");
    std::uint32_t colourCount = in.u32("colours used");
    if (colourCount == 0) colourCount = 1u << bits;
    if (colourCount > 1u << bits) in.fail(name + "has more colours than its bit count allows", 32);
    in.skip(4, "important colours");

    std::vector<QRgb> colours;
    for (std::uint32_t i = 0; i < colourCount; ++i) {
        const auto bgr0 = in.bytes(4, "colour table");
        colours.push_back(qRgb(bgr0[2], bgr0[1], bgr0[0]));
    }
    const int w = entry.width, h = entry.height;
    const std::size_t colourRow = (std::size_t(w) * bits + 31) / 32 * 4, maskRow = (std::size_t(w) + 31) / 32 * 4;
    const std::size_t colourStart = in.position();
    const auto colourRows = in.bytes(colourRow * h, "icon colour image");
    const auto maskRows = in.bytes(maskRow * h, "icon mask");
    in.expect(in.atEnd(), name + "has bytes after its mask");

    QImage pixels(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        const std::size_t row = std::size_t(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const std::size_t bit = std::size_t(x) * bits;
            const std::size_t at = row * colourRow + bit / 8;
            const unsigned index = (colourRows[at] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
            if (index >= colourCount) in.fail(name + "colour index is beyond its colour table", colourStart + at);
            const bool outside = (maskRows[row * maskRow + x / 8] >> (7 - x % 8)) & 1;
            pixels.setPixel(x, y, outside ? qRgba(0, 0, 0, 0) : colours[index]);
        }
    }
    return {pixels, bits};
}

}  // namespace

std::vector<IconImage> readIconGroup(const Process& process, std::uint32_t groupId) {
    const AddressSpace& space = process.space();
    const auto group = findResource(space, process.imageBase(), formats::resource_directory::kIconGroup, groupId);
    std::vector<IconImage> images;
    for (const GroupEntry& entry : readGroupEntries(group, groupId))
        images.push_back(decodeIconImage(findResource(space, process.imageBase(), formats::resource_directory::kIcon, entry.id), entry));
    return images;
}

QIcon windowIcon(const Process& process) {
    // The window system shows, of each size, the image that suits the
    // display's depth; every display here has more than 16 colours, so the
    // image of a size with the most colours wins.
    std::vector<IconImage> chosen;
    for (IconImage& image : readIconGroup(process)) {
        auto same = std::ranges::find(chosen, image.pixels.size(), [](const IconImage& i) { return i.pixels.size(); });
        if (same == chosen.end()) chosen.push_back(std::move(image));
        else if (image.bitCount > same->bitCount) *same = std::move(image);
    }
    QIcon icon;
    for (const IconImage& image : chosen) icon.addPixmap(QPixmap::fromImage(image.pixels));
    return icon;
}

void applyWindowIcon(QWidget& window, const Process& process) {
    try {
        window.setWindowIcon(windowIcon(process));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zelk: the window goes without its icon: %s\n", e.what());
        std::fflush(stderr);
    }
}

}  // namespace zelk::runtime
