#pragma once

// The window tests' shared ground: an offscreen QApplication made once per
// test program, the program's window opened by the runtime's own start-up
// code, what of it reached the window system, and the painted bitmaps as
// pixels converted here rather than by the runtime.

#include "test_support.h"

#include "formats/picture_record.h"
#include "runtime/form_window.h"
#include "runtime/start_up.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelk::tests {

inline QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "zelk-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Gives the window system at most `limitMs` to expose a shown window.
inline testing::AssertionResult waitUntilExposed(QWidget& window, int limitMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!window.windowHandle() || !window.windowHandle()->isExposed()) {
        if (timer.elapsed() > limitMs)
            return testing::AssertionFailure() << "the window was not exposed within " << limitMs << " ms";
        qtApp().processEvents();
    }
    return testing::AssertionSuccess();
}

// What of a window reached the window system. Unlike QWidget::grab, which
// paints the whole widget afresh, this shows only what the window painted.
inline QImage onScreen(QWidget& window) {
    return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// A bitmap file of the art folder, through a picture record as the form
// description frames it, as RGB pixels.
inline QImage paintedBitmap(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    const formats::Picture picture = formats::readPictureRecord(formats::framePictureRecord(file));
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const formats::Rgb& p = picture.at(x, y);
            image.setPixel(x, y, qRgb(p.r, p.g, p.b));
        }
    return image;
}

// The program's window as the program opens it, exposed on the offscreen
// platform, with a fresh form behind it.
class ProgramWindow : public testing::Test {
protected:
    void SetUp() override {
        qtApp();
        project_ = runtime::startProject(process(), image_symbols::kProjectHeader);
        window_ = runtime::showForm(*project_->form, process());
        focusWhenShown_ = window_->focusWidget();
        ASSERT_TRUE(waitUntilExposed(*window_));
    }

    runtime::FormInstance& form() const { return *project_->form; }
    runtime::ImageControl& image(const char* name) const { return imageNamed(*project_->form, name); }
    QImage shown() const { return onScreen(*window_); }

    std::unique_ptr<runtime::StartedProject> project_;
    std::unique_ptr<runtime::FormWindow> window_;
    QWidget* focusWhenShown_ = nullptr;  // before the window system activated the window
};

}  // namespace zelk::tests
