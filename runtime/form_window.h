#pragma once

// The Qt window behind a form: the background at 1:1, the picture controls
// painted by the form, and push buttons whose clicks go to the form's sinks.

#include "runtime/form_instance.h"

#include <QImage>
#include <QWidget>

#include <vector>

class QPushButton;

namespace zelk::runtime {

class FormWindow : public QWidget {
public:
    explicit FormWindow(FormInstance& form, QWidget* parent = nullptr);

    QPushButton* button(const std::string& name) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct ShownImage {
        const ImageControl* control;
        QImage pixels;  // at the size of its box, once shown
    };
    void imageChanged(const ImageControl& control, PixelRect before, bool wasVisible);

    FormInstance& form_;
    QImage background_;
    std::vector<ShownImage> images_;
    std::vector<std::pair<std::string, QPushButton*>> buttons_;
};

// The stored rows as the window system's 32-bit pixels.
QImage toQImage(const formats::BitmapRows& bitmap);

}  // namespace zelk::runtime
