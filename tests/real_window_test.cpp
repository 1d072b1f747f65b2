// The built program in a real window under Xvfb, driven as a person would:
// clicks on its buttons, screenshots, and the close button's request.
#include "qt_support.h"
#include "test_support.h"

#include "runtime/form_window.h"
#include "runtime/start_up.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QWindow>

#include <chrono>
#include <functional>

namespace zelk::test {
namespace {

using namespace std::chrono_literals;

QString run(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Xvfb on a display of its own, with the program started on it.
class RealWindow : public testing::Test {
protected:
    void SetUp() override {
        qtApp();
        // Xvfb picks a free display itself and tells its number, so parallel tests never share one.
        xvfb_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        ASSERT_TRUE(xvfb_.waitForStarted(10000)) << "Xvfb did not start";
        QByteArray number;
        ASSERT_TRUE(waitFor([&] {
            xvfb_.waitForReadyRead(100);
            number += xvfb_.readAllStandardOutput();
            return number.contains('\n');
        }, 20s)) << "Xvfb named no display";
        display_ = ":" + QString::fromLatin1(number.trimmed());
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("DISPLAY", display_);
        env_.remove("QT_QPA_PLATFORM");

        program_.setProcessEnvironment(env_);
        program_.start(ZELK_PROGRAM, {});
        ASSERT_TRUE(program_.waitForStarted(10000));
        ASSERT_TRUE(waitFor([&] { return !(window_ = xdotool({"search", "--name", "^Form1$"})).isEmpty(); }, 20s))
            << "no window named Form1";
        window_ = window_.split('\n').first();

        expected_ = rt::startProject(process(), image_symbols::kProjectHeader);
        expectedWindow_ = std::make_unique<rt::FormWindow>(*expected_->form);
        expectedWindow_->show();
        while (!expectedWindow_->windowHandle()->isExposed()) qtApp().processEvents();
    }

    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(5000);
        }
        xvfb_.terminate();
        xvfb_.waitForFinished(5000);
    }

    static bool waitFor(const std::function<bool()>& ok, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (ok()) return true;
            QThread::msleep(50);
        }
        return ok();
    }

    QString xdotool(const QStringList& args) { return run("xdotool", args, env_); }

    QImage screenshot() {
        const QString file = QDir::tempPath() + "/zelk-real-window-" + display_.mid(1) + ".png";
        run("import", {"-window", window_, file}, env_);
        return QImage(file).convertToFormat(QImage::Format_RGB32);
    }

    void click(int x, int y) { xdotool({"mousemove", "--window", window_, QString::number(x), QString::number(y), "click", "1"}); }
    void clickButton(const char* name) {
        const QRect box = expectedWindow_->button(name)->geometry();
        click(box.center().x(), box.center().y());
    }
    void requestClose() { run(ZELK_CLOSE_WINDOW, {window_}, env_); }

    // The window as it must look, drawn by our own runtime offscreen after the given puts.
    QImage expectedFrame(const std::function<void(rt::FormInstance&)>& puts) {
        puts(*expected_->form);
        return expectedWindow_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // Pixels that differ, outside the buttons (whose text the platforms draw with different fonts).
    int differences(const QImage& shot, const QImage& expected) const {
        if (shot.size() != expected.size()) return -1;
        const QRect buttons(0, 0, 100, 120);
        int n = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (!buttons.contains(x, y) && shot.pixel(x, y) != expected.pixel(x, y)) ++n;
        return n;
    }

    bool showsWithin(const QImage& expected, std::chrono::milliseconds limit) {
        return waitFor([&] { return differences(screenshot(), expected) == 0; }, limit);
    }

    static rt::ImageControl& image(rt::FormInstance& form, const char* name) {
        for (const auto& i : form.images())
            if (i->name() == name) return *i;
        throw std::out_of_range(name);
    }

    bool exitsWithZero(std::chrono::milliseconds limit) {
        return program_.waitForFinished(int(limit.count())) && program_.exitStatus() == QProcess::NormalExit &&
               program_.exitCode() == 0;
    }

    QString display_;
    QProcess xvfb_, program_;
    QProcessEnvironment env_;
    QString window_;
    std::unique_ptr<rt::StartedProject> expected_;
    std::unique_ptr<rt::FormWindow> expectedWindow_;
};

TEST_F(RealWindow, OpensSlidesGallopsAndClosesAsAUserSeesIt) {
    EXPECT_EQ(xdotool({"getwindowname", window_}), "Form1");
    EXPECT_TRUE(xdotool({"getwindowgeometry", window_}).contains("Geometry: 740x419"));
    const QImage atRest = expectedFrame([](rt::FormInstance&) {});
    EXPECT_TRUE(showsWithin(atRest, 10s)) << "the scene with the horse at (32, 168)";

    clickButton("Command1");
    const QImage afterSlide = expectedFrame([](rt::FormInstance& f) { image(f, "Img1").putLeft(8000); });
    EXPECT_TRUE(showsWithin(afterSlide, 30s)) << "first pose at Left 8000, column 533";

    clickButton("Command2");
    // While the gallop runs, one horse stands between its start and end places.
    QImage during;
    const QImage afterGallop = expectedFrame([](rt::FormInstance& f) {
        image(f, "Img1").putVisible(0);
        image(f, "Img2").putLeft(8100);
        image(f, "Img3").putVisible(-1);
        image(f, "Img3").putLeft(8200);
    });
    const QImage scene = expectedFrame([](rt::FormInstance& f) { image(f, "Img3").putVisible(0); });
    bool caught = waitFor([&] {
        during = screenshot();
        return differences(during, afterSlide) > 0 && differences(during, afterGallop) > 0;
    }, 10s);
    ASSERT_TRUE(caught) << "no frame of the gallop itself reached the screen";
    int first = 740, last = -1;
    for (int y = 120; y < 419; ++y)
        for (int x = 0; x < 740; ++x)
            if (during.pixel(x, y) != scene.pixel(x, y)) first = std::min(first, x), last = std::max(last, x);
    EXPECT_GE(first, 0);
    EXPECT_LE(last, 547 + 152);
    EXPECT_LE(last - first, 160) << "one horse, not two";
    expectedFrame([](rt::FormInstance& f) { image(f, "Img3").putVisible(-1); });

    EXPECT_TRUE(showsWithin(afterGallop, 60s)) << "third pose alone at Left 8200, column 547";

    requestClose();
    EXPECT_TRUE(exitsWithZero(10s)) << "closing the window ends the process with exit code 0";
}

TEST_F(RealWindow, ClosingAtOnceEndsTheProcessWithZero) {
    requestClose();
    EXPECT_TRUE(exitsWithZero(10s));
}

TEST_F(RealWindow, AClickMadeDuringAGallopRunsItsSequenceAfterwards) {
    clickButton("Command2");
    QThread::msleep(100);
    clickButton("Command1");
    const QImage slideAfterGallop = expectedFrame([](rt::FormInstance& f) { image(f, "Img1").putLeft(8000); });
    EXPECT_TRUE(showsWithin(slideAfterGallop, 60s)) << "the queued slide ran after the gallop";
    EXPECT_EQ(program_.state(), QProcess::Running);
}

TEST_F(RealWindow, ACloseRequestMadeDuringAGallopClosesTheWindowAfterIt) {
    clickButton("Command2");
    QThread::msleep(100);
    requestClose();
    QThread::msleep(200);
    EXPECT_EQ(program_.state(), QProcess::Running) << "the gallop is still running; the request waits";
    EXPECT_TRUE(exitsWithZero(60s));
}

}  // namespace
}  // namespace zelk::test
