#pragma once

// The runtime's picture control: windowless, painted by its form. Every
// `Visible` or `Left` put tells the form at once which rectangles changed.

#include "formats/picture_record.h"
#include "runtime_interface/image_control_interface.h"

#include <cstdint>
#include <functional>
#include <string>

namespace zelk::runtime {

inline constexpr int kTwipsPerPixel = 15;
int twipsToPixels(double twips);

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

class ImageControl final : public runtime_interface::ImageControlInterface {
public:
    struct Placement {
        double left, top, width, height;  // twips
        bool visible;
        bool stretch;
    };
    // `picture` is a checked record's rows; they must outlive the control.
    ImageControl(std::string name, std::int32_t index, formats::BitmapRows picture, Placement placement);

    std::uint32_t AddRef() override { return ++references_; }
    std::uint32_t Release() override { return --references_; }
    std::int32_t putVisible(std::int16_t value) override;
    std::int32_t putLeft(float twips) override;

    const std::string& name() const { return name_; }
    std::int32_t index() const { return index_; }
    const formats::BitmapRows& picture() const { return picture_; }
    bool visible() const { return placement_.visible; }
    bool stretch() const { return placement_.stretch; }
    double leftTwips() const { return placement_.left; }
    double topTwips() const { return placement_.top; }
    PixelRect box() const;  // in the form's client area
    std::uint32_t references() const { return references_; }

    // Called after each put with the box before and after it (both drawn or
    // not according to visibility before and after).
    using ChangeObserver = std::function<void(const ImageControl&, PixelRect before, bool wasVisible)>;
    void setObserver(ChangeObserver observer) { observer_ = std::move(observer); }

private:
    void changed(PixelRect before, bool wasVisible);

    std::string name_;
    std::int32_t index_;
    formats::BitmapRows picture_;
    Placement placement_;
    std::uint32_t references_ = 1;  // the form's own
    ChangeObserver observer_;
};

}  // namespace zelk::runtime
