#include "program/records/icon_group.h"

#include "formats/icon_image.h"
#include "formats/module_header.h"

#include <string>

namespace zelk::program::records {
namespace {

constexpr std::uint16_t kGroupId = 1;
constexpr std::uint16_t kFirstIconId = 30001;

}  // namespace

std::vector<Resource> writeIconGroup(ImageBuilder& out, std::span<const std::vector<std::uint8_t>> images) {
    namespace directory = formats::resource_directory;
    std::vector<formats::IconGroupEntry> entries;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto id = std::uint16_t(kFirstIconId + i);
        // The entry repeats what the image's header says, so the header must hold.
        const formats::IconImage image = formats::readIconImage(images[i], "icon " + std::to_string(id));
        entries.push_back(formats::iconGroupEntry(image, std::uint32_t(images[i].size()), id));
    }
    const std::vector<std::uint8_t> group = formats::encodeIconGroup(entries);
    out.align(4);
    out.bind("icon_group");
    out.bytes(group);
    std::vector<Resource> resources{
        {directory::kIconGroup, kGroupId, directory::kNeutralLanguage, "icon_group", std::uint32_t(group.size())}};
    for (std::size_t i = 0; i < images.size(); ++i) {
        const std::uint16_t id = entries[i].id;
        resources.push_back({directory::kIcon,
                             id,
                             directory::kNeutralLanguage,
                             "icon." + std::to_string(id),
                             std::uint32_t(images[i].size())});
        out.align(4);
        out.bind(resources.back().label);
        out.bytes(images[i]);
    }
    return resources;
}

}  // namespace zelk::program::records
