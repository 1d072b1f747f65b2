#include "program/records/icon_group.h"

#include "formats/byte_reader.h"
#include "formats/module_header.h"

#include <string>

namespace zelk::program::records {
namespace {


constexpr std::uint16_t kGroupId = 1;
constexpr std::uint16_t kFirstIconId = 30001;
constexpr std::uint32_t kGroupHeaderSize = 6;
constexpr std::uint32_t kGroupEntrySize = 14;
constexpr std::uint32_t kBitmapHeaderSize = 40;

struct ImageShape {
    std::uint32_t width, height;
    std::uint16_t planes, bitCount;
};

// What the group entry repeats of an image's bitmap header, after checking
// that the header describes exactly the bytes that follow it.
ImageShape readShape(std::span<const std::uint8_t> image, std::uint16_t id) {
    const std::string name = "icon " + std::to_string(id) + " ";
    formats::ByteReader in(image);
    if (in.u32("bitmap header size") != kBitmapHeaderSize) in.fail(name + "bitmap header size is not 40", 0);
    const std::uint32_t width = in.u32("width");
    const std::uint32_t doubled = in.u32("height");
    const std::uint16_t planes = in.u16("planes");
    const std::uint16_t bitCount = in.u16("bit count");
    if (in.u32("compression") != 0) in.fail(name + "is compressed", 16);
    if (width == 0 || width > 256 || doubled % 2 || doubled / 2 == 0 || doubled / 2 > 256)
        in.fail(name + "size is not that of an icon with its mask", 4);
    if (planes != 1 || (bitCount != 1 && bitCount != 4 && bitCount != 8))
        in.fail(name + "is not 1, 4 or 8 bits a pixel on one plane", 12);
    in.skip(12, "image size and resolution");
    const std::uint32_t colourCount = in.u32("colours used");
    if (colourCount != 0 && colourCount != 1u << bitCount) in.fail(name + "colour table is not full", 32);
    const std::uint32_t height = doubled / 2;
    const std::uint32_t colourRow = (width * bitCount + 31) / 32 * 4, maskRow = (width + 31) / 32 * 4;
    const std::uint32_t size = kBitmapHeaderSize + 4 * (1u << bitCount) + (colourRow + maskRow) * height;
    if (image.size() != size) in.fail(name + "length differs from its header's " + std::to_string(size), 0);
    return {width, height, planes, bitCount};
}

}  // namespace

std::vector<program::records::Resource> writeIconGroup(program::records::ImageBuilder& out,
                                             std::span<const std::vector<std::uint8_t>> images) {
    out.align(4);
    out.bind("icon_group");
    out.u16(0);
    out.u16(1);  // icons, not cursors
    out.u16(std::uint16_t(images.size()));
    std::vector<program::records::Resource> resources{
        {formats::resource_directory::kIconGroup, kGroupId, formats::resource_directory::kNeutralLanguage, "icon_group",
         kGroupHeaderSize + kGroupEntrySize * std::uint32_t(images.size())}};
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto id = std::uint16_t(kFirstIconId + i);
        const ImageShape shape = readShape(images[i], id);
        const std::uint32_t colours = 1u << shape.bitCount;
        out.u8(std::uint8_t(shape.width));  // 256 is stored as 0
        out.u8(std::uint8_t(shape.height));
        out.u8(colours < 256 ? std::uint8_t(colours) : 0);
        out.u8(0);
        out.u16(shape.planes);
        out.u16(shape.bitCount);
        out.u32(std::uint32_t(images[i].size()));
        out.u16(id);
        resources.push_back({formats::resource_directory::kIcon, id, formats::resource_directory::kNeutralLanguage, "icon." + std::to_string(id),
                             std::uint32_t(images[i].size())});
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.align(4);
        out.bind(resources[i + 1].label);
        out.bytes(images[i]);
    }
    return resources;
}

}  // namespace zelk::program::records
