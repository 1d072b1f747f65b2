#include "runtime/image_control.h"

#include <cmath>

namespace zelk::runtime {

int twipsToPixels(double twips) { return int(std::lround(twips / kTwipsPerPixel)); }

ImageControl::ImageControl(std::string name, std::int32_t index, formats::BitmapRows picture, Placement placement)
    : name_(std::move(name)), index_(index), picture_(picture), placement_(placement) {}

PixelRect ImageControl::box() const {
    const int x = twipsToPixels(placement_.left), y = twipsToPixels(placement_.top);
    if (placement_.stretch)
        return {x,
                y,
                twipsToPixels(placement_.left + placement_.width) - x,
                twipsToPixels(placement_.top + placement_.height) - y};
    return {x, y, picture_.width, picture_.height};
}

std::int32_t ImageControl::putVisible(std::int16_t value) {
    const PixelRect before = box();
    const bool wasVisible = placement_.visible;
    placement_.visible = value != 0;
    changed(before, wasVisible);
    return 0;
}

std::int32_t ImageControl::putLeft(float twips) {
    const PixelRect before = box();
    placement_.left = twips;
    changed(before, placement_.visible);
    return 0;
}

void ImageControl::changed(PixelRect before, bool wasVisible) {
    if (observer_) observer_(*this, before, wasVisible);
}

}  // namespace zelk::runtime
