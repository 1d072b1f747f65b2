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
#include <vector>

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

enum class Frame { AtRest, AfterSlide, AfterGallop };

enum class Do {
    ClickSlide,         // "Движение"
    ClickGallop,        // "Движение2"
    TabThenSpace,       // keyboard only: to "Движение2" and press it
    Wait100ms,
    RequestClose,       // the close button's request
    See,                // the frame settles on `frame`
    SeeOneHorseMoving,  // a frame of the gallop itself: one horse between its start and end
    SeeAfterTwoGallops, // `frame` settles no sooner than two gallops take
    StillRunning,
    ExitsWithZero,
};

struct Step {
    Do action;
    Frame frame = Frame::AtRest;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const Case kCases[] = {
    {"AtRest", {{Do::See, Frame::AtRest}}},
    {"Slide", {{Do::ClickSlide}, {Do::See, Frame::AfterSlide}, {Do::RequestClose}, {Do::ExitsWithZero}}},
    {"Gallop", {{Do::ClickGallop}, {Do::SeeOneHorseMoving}, {Do::See, Frame::AfterGallop}}},
    {"SlideRightAfterAGallop",
     {{Do::ClickGallop}, {Do::See, Frame::AfterGallop}, {Do::ClickSlide}, {Do::See, Frame::AfterSlide}}},
    {"TwoClicksQueuedDuringAGallopBothRun",
     {{Do::ClickGallop}, {Do::See, Frame::AfterGallop}, {Do::ClickSlide}, {Do::See, Frame::AfterSlide},
      {Do::ClickGallop}, {Do::Wait100ms}, {Do::ClickSlide}, {Do::ClickGallop},
      {Do::SeeAfterTwoGallops, Frame::AfterGallop}, {Do::ClickSlide}, {Do::See, Frame::AfterSlide}}},
    {"CloseDuringAGallopEndsAfterIt",
     {{Do::ClickGallop}, {Do::Wait100ms}, {Do::RequestClose}, {Do::Wait100ms}, {Do::StillRunning},
      {Do::ExitsWithZero}}},
    {"CloseAtOnce", {{Do::RequestClose}, {Do::ExitsWithZero}}},
    {"KeyboardOnly", {{Do::TabThenSpace}, {Do::See, Frame::AfterGallop}}},
};

class RealWindowCase : public RealWindow, public testing::WithParamInterface<Case> {
protected:
    QImage frame(Frame f) {
        return expectedFrame([f](rt::FormInstance& form) {
            const bool gallop = f == Frame::AfterGallop;
            image(form, "Img1").putVisible(gallop ? 0 : -1);
            image(form, "Img1").putLeft(f == Frame::AtRest ? 480 : 8000);
            image(form, "Img3").putVisible(gallop ? -1 : 0);
            image(form, "Img3").putLeft(gallop ? 8200 : 6840);
        });
    }

    // Columns where the frame differs from the bare scene, below the buttons.
    std::pair<int, int> horseColumns(const QImage& shot) {
        const QImage scene = expectedFrame([](rt::FormInstance& form) {
            for (const char* name : {"Img1", "Img2", "Img3"}) image(form, name).putVisible(0);
        });
        int first = 740, last = -1;
        for (int y = 120; y < 419; ++y)
            for (int x = 0; x < 740; ++x)
                if (shot.pixel(x, y) != scene.pixel(x, y)) first = std::min(first, x), last = std::max(last, x);
        return {first, last};
    }
};

TEST_P(RealWindowCase, BehavesAsAUserSeesIt) {
    using Clock = std::chrono::steady_clock;
    EXPECT_EQ(xdotool({"getwindowname", window_}), "Form1");
    EXPECT_TRUE(xdotool({"getwindowgeometry", window_}).contains("Geometry: 740x419"));

    auto lastClick = Clock::now(), firstOfBurst = Clock::now();
    std::chrono::duration<double> gallopTakes{0};
    bool burst = false;
    for (const Step& step : GetParam().steps) {
        switch (step.action) {
            case Do::ClickSlide:
            case Do::ClickGallop:
                if (!burst) firstOfBurst = Clock::now();
                burst = true;
                lastClick = Clock::now();
                clickButton(step.action == Do::ClickSlide ? "Command1" : "Command2");
                break;
            case Do::TabThenSpace:
                xdotool({"windowfocus", "--sync", window_});
                xdotool({"key", "--window", window_, "Tab", "space"});
                break;
            case Do::Wait100ms: QThread::msleep(100); break;
            case Do::RequestClose: requestClose(); break;
            case Do::See: {
                ASSERT_TRUE(showsWithin(frame(step.frame), 60s)) << "frame " << int(step.frame);
                const std::chrono::duration<double> took = Clock::now() - lastClick;
                if (step.frame == Frame::AfterGallop && gallopTakes.count() == 0) gallopTakes = took;
                burst = false;
                break;
            }
            case Do::SeeAfterTwoGallops: {
                const QImage want = frame(step.frame);
                // Settled: the same frame twice, a moment apart.
                ASSERT_TRUE(waitFor([&] {
                    if (differences(screenshot(), want) != 0) return false;
                    QThread::msleep(300);
                    return differences(screenshot(), want) == 0;
                }, 60s));
                const std::chrono::duration<double> took = Clock::now() - firstOfBurst;
                EXPECT_GE(took.count(), 1.5 * gallopTakes.count()) << "the queued gallop ran after the first";
                burst = false;
                break;
            }
            case Do::SeeOneHorseMoving: {
                const QImage start = frame(Frame::AtRest), end = frame(Frame::AfterGallop);
                QImage during;
                ASSERT_TRUE(waitFor([&] {
                    during = screenshot();
                    return differences(during, start) > 0 && differences(during, end) > 0;
                }, 10s)) << "no frame of the gallop itself reached the screen";
                const auto [first, last] = horseColumns(during);
                EXPECT_GE(first, 0);
                EXPECT_LE(last, 547 + 152);
                EXPECT_LE(last - first, 160) << "one horse, not two";
                break;
            }
            case Do::StillRunning: EXPECT_EQ(program_.state(), QProcess::Running); break;
            case Do::ExitsWithZero: EXPECT_TRUE(exitsWithZero(60s)) << "closing ends the process with exit code 0"; break;
        }
    }
    if (program_.state() == QProcess::Running) {
        requestClose();
        EXPECT_TRUE(exitsWithZero(60s)) << "the window stays responsive and closes";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RealWindowCase, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelk::test
