#include "runtime/form_window.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <bit>
#include <cstring>

namespace zelk::runtime {
namespace {

QRect toQRect(const PixelRect& r) { return QRect(r.x, r.y, r.width, r.height); }

// Nearest-pixel sampling keeps the pictures' exact colours.
QImage sized(const QImage& picture, const PixelRect& box) {
    if (picture.isNull() || (picture.width() == box.width && picture.height() == box.height)) return picture;
    return picture.scaled(box.width, box.height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

}  // namespace

QImage toQImage(const formats::BitmapRows& bitmap) {
    static_assert(std::endian::native == std::endian::little);
    QImage image(bitmap.width, bitmap.height, QImage::Format_RGB32);
    if (image.isNull()) return image;  // no memory for it: the picture is not shown
    for (int y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* in = bitmap.row(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        int x = 0;
        // Four pixels from three words: b0 g0 r0 b1 | g1 r1 b2 g2 | r2 b3 g3 r3.
        for (; x + 4 <= bitmap.width; x += 4, in += 12) {
            std::uint32_t a, b, c;
            std::memcpy(&a, in, 4);
            std::memcpy(&b, in + 4, 4);
            std::memcpy(&c, in + 8, 4);
            out[x] = 0xFF000000u | a;
            out[x + 1] = 0xFF000000u | a >> 24 | b << 8;
            out[x + 2] = 0xFF000000u | b >> 16 | c << 16;
            out[x + 3] = 0xFF000000u | c >> 8;
        }
        for (; x < bitmap.width; ++x, in += 3) out[x] = qRgb(in[2], in[1], in[0]);
    }
    return image;
}

FormWindow::FormWindow(FormInstance& form, QWidget* parent) : QWidget(parent), form_(form) {
    setWindowTitle(QString::fromStdString(form.caption()));
    setFixedSize(form.clientWidth(), form.clientHeight());
    setAttribute(Qt::WA_OpaquePaintEvent);
    background_ = toQImage(form.background());

    for (const auto& image : form.images()) {
        images_.push_back({image.get(), {}});
        image->setObserver(
            [this](const ImageControl& c, PixelRect before, bool wasVisible) { imageChanged(c, before, wasVisible); });
    }

    // Children join the focus chain in the order they are made, so make the
    // buttons in TabIndex order.
    std::vector<const ButtonControl*> tabOrder;
    for (const ButtonControl& b : form.buttons()) tabOrder.push_back(&b);
    std::ranges::stable_sort(tabOrder, {}, &ButtonControl::tabIndex);
    for (const ButtonControl* b : tabOrder) {
        auto* button = new QPushButton(QString::fromStdString(b->caption), this);
        button->setGeometry(toQRect(b->box));
        button->setObjectName(QString::fromStdString(b->name));
        const std::int32_t index = b->index;
        connect(button, &QPushButton::clicked, this, [this, index] { form_.fireEvent(index, 0); });
        buttons_.emplace_back(b->name, button);
    }
    if (!tabOrder.empty()) button(tabOrder.front()->name)->setFocus();
}

QPushButton* FormWindow::button(const std::string& name) const {
    for (const auto& [n, b] : buttons_)
        if (n == name) return b;
    return nullptr;
}

void FormWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.fillRect(rect(), palette().window());
    painter.drawImage(0, 0, background_);
    for (ShownImage& shown : images_) {
        if (!shown.control->visible()) continue;
        const PixelRect box = shown.control->box();
        // A picture is decoded and brought to its box's size when it is first
        // shown, so the window's first frame waits only for what it shows.
        if (shown.pixels.isNull()) {
            const QImage pixels = toQImage(shown.control->picture());
            shown.pixels = shown.control->stretch() ? sized(pixels, box) : pixels;
        }
        painter.drawImage(box.x, box.y, shown.pixels);
    }
}

// A put changes the screen before it returns: the sequences give the event
// loop no turn until they end, and each of their steps is meant to be seen.
void FormWindow::imageChanged(const ImageControl& control, PixelRect before, bool wasVisible) {
    if (wasVisible == control.visible() && before == control.box()) return;  // nothing changed on screen
    QRegion dirty;
    if (wasVisible) dirty += toQRect(before);
    if (control.visible()) dirty += toQRect(control.box());
    if (!dirty.isEmpty() && isVisible()) repaint(dirty);
}

void FormWindow::mousePressEvent(QMouseEvent* event) {
    // Pictures are windowless, so the form finds which one was hit; the topmost
    // is the one painted last.
    for (auto it = images_.rbegin(); it != images_.rend(); ++it) {
        if (it->control->visible() && toQRect(it->control->box()).contains(event->position().toPoint())) {
            form_.fireEvent(it->control->index(), 0);
            return;
        }
    }
    form_.fireEvent(-1, 0);
}

}  // namespace zelk::runtime
