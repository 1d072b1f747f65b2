#include "runtime/window_icon.h"

#include "formats/icon_image.h"
#include "formats/module_header.h"
#include "runtime/resources.h"

#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <string>

namespace zelk::runtime {
namespace {

IconImage toQImage(const formats::IconImage& image) {
    QImage pixels(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const formats::Rgb& c = image.colours[image.indexAt(x, y)];
            pixels.setPixel(x, y, image.outsideAt(x, y) ? qRgba(0, 0, 0, 0) : qRgb(c.r, c.g, c.b));
        }
    return {pixels, image.bitsPerPixel};
}

}  // namespace

std::vector<IconImage> readIconGroup(const Process& process, std::uint32_t groupId) {
    const AddressSpace& space = process.space();
    const auto group = findResource(space, process.imageBase(), formats::resource_directory::kIconGroup, groupId);
    std::vector<IconImage> images;
    for (const formats::IconGroupEntry& entry :
         formats::readIconGroup(group, "icon group " + std::to_string(groupId))) {
        const auto icon = findResource(space, process.imageBase(), formats::resource_directory::kIcon, entry.id);
        images.push_back(toQImage(formats::readListedIconImage(icon, entry)));
    }
    return images;
}

QIcon windowIcon(const Process& process) {
    // The window system shows, of each size, the image that suits the
    // display's depth; every display here has more than 16 colours, so the
    // image of a size with the most colours wins.
    std::vector<IconImage> chosen;
    for (IconImage& image : readIconGroup(process)) {
        auto same = std::ranges::find(chosen, image.pixels.size(), [](const IconImage& i) { return i.pixels.size(); });
        if (same == chosen.end())
            chosen.push_back(std::move(image));
        else if (image.bitCount > same->bitCount)
            *same = std::move(image);
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
