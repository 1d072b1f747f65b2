// The built program in a real window under Xvfb, driven as a person would:
// clicks on its buttons, keys, screenshots, and the close button's request.
//
// Nothing here compares clocks. What the program has handled is read off the
// buttons: a press gives its button the focus, Tab moves the focus on, and the
// button under the pointer is lit, each drawn only once its event is handled.
// So a Tab sent last and seen on the screen says that all before it has run.
#include "expected_window.h"
#include "qt_support.h"

#include "tests/tools/xvfb.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace zelk::tests {
namespace {

using namespace std::chrono_literals;

enum class Button { Command1, Command2 };
enum class Frame { AtRest, AfterSlide, AfterGallop };

// How a button is drawn. The looks are learnt from the window itself, since
// the style and the fonts are the platform's.
enum class Look { Plain, Focused, FocusedUnderPointer };
const char* const kLookName[] = {"plain", "focused", "focused under the pointer"};

const QRect kButtonBox[] = {kCommand1Box, kCommand2Box};
const QPoint kParking(700, 40);  // on the form, clear of every control

// Xvfb on a display of its own, the program started on it, its window given
// the keyboard, and the buttons' looks learnt.
class RealWindow : public testing::Test {
protected:
    void SetUp() override {
        qtApp();
        ASSERT_NO_FATAL_FAILURE(startXvfb());
        program_.setProcessEnvironment(env_);
        program_.start(ZELK_PROGRAM, {});
        ASSERT_TRUE(program_.waitForStarted(10000));
        const auto ended = [&] { return program_.state() == QProcess::NotRunning || program_.waitForFinished(0); };
        QByteArray found;
        const bool shown = waitFor(
                               [&] {
                                   return ended() || run("xdotool", {"search", "--name", "^Form1$"}, &found);
                               },
                               20s) &&
                           !ended();
        ASSERT_TRUE(shown) << "no window named Form1: " << program_.readAllStandardError().toStdString();
        window_ = QString::fromLatin1(found.split('\n').first());

        ASSERT_NO_FATAL_FAILURE(learnLooks());
    }

    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(5000);
        }
        xvfb_.reset();
    }

    void startXvfb() {
        try {
            xvfb_ = std::make_unique<Xvfb>();
        } catch (const std::runtime_error& e) {
            FAIL() << e.what();
        }
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("DISPLAY", QString::fromStdString(xvfb_->display()));
        env_.remove("QT_QPA_PLATFORM");
    }

    static bool waitFor(const std::function<bool()>& ok, std::chrono::milliseconds limit,
                        std::chrono::milliseconds pause = 50ms) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (ok()) return true;
            QThread::msleep(pause.count());
        }
        return ok();
    }

    // A helper program on the test display; true if it ends in time with 0.
    bool run(const QString& program, const QStringList& args, QByteArray* out = nullptr) {
        QProcess p;
        p.setProcessEnvironment(env_);
        p.start(program, args);
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished(5000);
            lastError_ = program.toStdString() + " did not finish";
            return false;
        }
        if (out) *out = p.readAllStandardOutput().trimmed();
        lastError_ = p.readAllStandardError().trimmed().toStdString();
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    void xdotool(const QStringList& args) {
        ASSERT_TRUE(run("xdotool", args)) << "xdotool " << args.join(' ').toStdString() << ": " << lastError_;
    }
    // Keys go through the server's test extension to the window with the focus, as typed.
    void key(const char* name) { ASSERT_NO_FATAL_FAILURE(xdotool({"key", name})); }
    QStringList moveTo(QPoint p) const {
        return {"mousemove", "--window", window_, QString::number(p.x()), QString::number(p.y())};
    }
    void park() { ASSERT_NO_FATAL_FAILURE(xdotool(moveTo(kParking))); }
    // Onto the button, click, and off it again, so the button is lit only while
    // its click is being handled.
    void click(Button b) {
        ASSERT_NO_FATAL_FAILURE(
            xdotool(moveTo(kButtonBox[int(b)].center()) + QStringList{"click", "1"} + moveTo(kParking)));
    }
    void requestClose() { ASSERT_TRUE(run(ZELK_CLOSE_WINDOW, {window_})) << lastError_; }

    // The window as the X server holds it; null once it is gone.
    QImage screenshot() {
        QByteArray ppm;
        if (!run("import", {"-window", window_, "ppm:-"}, &ppm)) return {};
        return last_ = QImage::fromData(ppm, "PPM").convertToFormat(QImage::Format_RGB32);
    }

    // Screenshots until one is accepted; null if none is within the limit.
    QImage see(const std::function<bool(const QImage&)>& ok, std::chrono::milliseconds limit = 60s) {
        QImage accepted;
        waitFor(
            [&] {
                const QImage shot = screenshot();
                if (shot.isNull() || !ok(shot)) return false;
                accepted = shot;
                return true;
            },
            limit,
            0ms);
        return accepted;
    }

    // Keeps the last screenshot for a look after a failure.
    std::string lastShotKept() {
        QTemporaryDir dir;
        dir.setAutoRemove(false);
        const QString file = dir.filePath("last.png");
        return dir.isValid() && last_.save(file) ? "; last screenshot: " + file.toStdString() : "";
    }

    static QImage crop(const QImage& shot, Button b) { return shot.copy(kButtonBox[int(b)]); }

    bool buttonsLook(const QImage& shot, Look command1, Look command2) const {
        return crop(shot, Button::Command1) == looks_[0][int(command1)] &&
               crop(shot, Button::Command2) == looks_[1][int(command2)];
    }

    // Whether two screenshots differ outside the buttons.
    static bool differ(const QImage& a, const QImage& b) {
        if (a.size() != b.size()) return true;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (!kButtonBox[0].contains(x, y) && !kButtonBox[1].contains(x, y) && a.pixel(x, y) != b.pixel(x, y))
                    return true;
        return false;
    }

    // The horses each resting frame shows.
    static std::vector<Horse> horses(Frame f) {
        switch (f) {
            case Frame::AtRest: return {{"Img1", 480}};
            case Frame::AfterSlide: return {{"Img1", 8000}};
            case Frame::AfterGallop: return {{"Img3", 8200}};
        }
        return {};
    }
    static bool shows(const QImage& shot, Frame f) { return bool(showsSceneWith(shot, horses(f))); }

    // Learns each button's looks from the window as it opens: plain, focused
    // after a Tab, and focused under the pointer. Without a window manager the
    // window has the keyboard only once given it, and a focused button shows a
    // frame only once the focus has moved by key. The first Tab must land on
    // Command2, so Command1 had the focus.
    void learnLooks() {
        ASSERT_NO_FATAL_FAILURE(park());
        const QImage opened = see([&](const QImage& s) { return shows(s, Frame::AtRest); });
        ASSERT_FALSE(opened.isNull()) << "the window opens at rest" << lastShotKept();
        QImage(&one)[3] = looks_[0];
        QImage(&two)[3] = looks_[1];
        one[int(Look::Plain)] = crop(opened, Button::Command1);
        two[int(Look::Plain)] = crop(opened, Button::Command2);

        ASSERT_NO_FATAL_FAILURE(xdotool({"windowfocus", "--sync", window_}));
        ASSERT_NO_FATAL_FAILURE(key("Tab"));
        const QImage tabbed = see([&](const QImage& s) {
            return crop(s, Button::Command1) == one[int(Look::Plain)] &&
                   crop(s, Button::Command2) != two[int(Look::Plain)];
        });
        ASSERT_FALSE(tabbed.isNull()) << "the first Tab lands on Command2" << lastShotKept();
        two[int(Look::Focused)] = crop(tabbed, Button::Command2);
        ASSERT_NO_FATAL_FAILURE(learnUnderPointer(Button::Command2));

        ASSERT_NO_FATAL_FAILURE(key("Tab"));
        const QImage back = see([&](const QImage& s) {
            return crop(s, Button::Command2) == two[int(Look::Plain)] &&
                   crop(s, Button::Command1) != one[int(Look::Plain)];
        });
        ASSERT_FALSE(back.isNull()) << "the second Tab goes back to Command1" << lastShotKept();
        one[int(Look::Focused)] = crop(back, Button::Command1);
        ASSERT_NO_FATAL_FAILURE(learnUnderPointer(Button::Command1));
        focus_ = Button::Command1;
    }

    // The focused button `b` with the pointer on it, then off it again.
    void learnUnderPointer(Button b) {
        QImage(&look)[3] = looks_[int(b)];
        ASSERT_NO_FATAL_FAILURE(xdotool(moveTo(kButtonBox[int(b)].center())));
        const QImage lit = see([&](const QImage& s) {
            const QImage c = crop(s, b);
            return c != look[int(Look::Plain)] && c != look[int(Look::Focused)];
        });
        ASSERT_FALSE(lit.isNull()) << "the button under the pointer is lit" << lastShotKept();
        look[int(Look::FocusedUnderPointer)] = crop(lit, b);
        ASSERT_NO_FATAL_FAILURE(park());
        ASSERT_FALSE(see([&](const QImage& s) { return crop(s, b) == look[int(Look::Focused)]; }).isNull())
            << "the light goes with the pointer" << lastShotKept();
    }

    bool exitsWithZero(std::chrono::milliseconds limit) {
        return program_.waitForFinished(int(limit.count())) && program_.exitStatus() == QProcess::NormalExit &&
               program_.exitCode() == 0;
    }

    std::unique_ptr<Xvfb> xvfb_;
    QProcess program_;
    QProcessEnvironment env_;
    QString window_;
    std::string lastError_;
    QImage last_;
    QImage looks_[2][3];               // [button][look]
    Button focus_ = Button::Command1;  // where the events sent so far leave the focus
};

enum class Do {
    ClickSlide,   // "Движение"
    ClickGallop,  // "Движение2"
    Tab,
    Space,         // presses the focused button
    RequestClose,  // the close button's request
    // A Tab, then the screen shows `frame` with the focus where that Tab puts
    // it: all sent before has been handled.
    Settles,
    // Two different frames of a gallop at work, one horse between its start
    // and end, with Command2 `command2`: focused for a gallop started by key,
    // also under the pointer for one started by a click.
    SeeGallopRunning,
    ExitsWithZero,
};

struct Step {
    Do action;
    Frame frame = Frame::AtRest;
    Look command2 = Look::Focused;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const Step kGallopByKey{Do::SeeGallopRunning, Frame::AtRest, Look::Focused};
const Step kGallopByClick{Do::SeeGallopRunning, Frame::AtRest, Look::FocusedUnderPointer};

// clang-format off
const Case kCases[] = {
    {"AtRest", {{Do::Settles, Frame::AtRest}}},
    {"Slide", {{Do::ClickSlide}, {Do::Settles, Frame::AfterSlide}, {Do::RequestClose}, {Do::ExitsWithZero}}},
    {"Gallop", {{Do::ClickGallop}, kGallopByClick, {Do::Settles, Frame::AfterGallop}}},
    {"SlideRightAfterAGallop",
     {{Do::ClickGallop}, {Do::Settles, Frame::AfterGallop}, {Do::ClickSlide}, {Do::Settles, Frame::AfterSlide}}},
    // Started by key, the first gallop runs with no button lit though both
    // clicks are already sent; they run after it: a gallop with Command2 lit,
    // then the slide, whose picture stays.
    {"ClicksQueuedDuringAGallopRunAfterItInOrder",
     {{Do::Tab}, {Do::Space}, {Do::ClickGallop}, {Do::ClickSlide}, kGallopByKey, kGallopByClick,
      {Do::Settles, Frame::AfterSlide}}},
    // The window goes on through the gallop and the one clicked before the
    // request, and only then does the process end.
    {"CloseDuringAGallopEndsAfterIt",
     {{Do::Tab}, {Do::Space}, {Do::ClickGallop}, {Do::RequestClose}, kGallopByKey, kGallopByClick,
      {Do::ExitsWithZero}}},
    {"CloseAtOnce", {{Do::RequestClose}, {Do::ExitsWithZero}}},
    {"KeyboardOnly", {{Do::Tab}, {Do::Space}, kGallopByKey, {Do::Settles, Frame::AfterGallop}}},
};
// clang-format on

class RealWindowCase : public RealWindow, public testing::WithParamInterface<Case> {
protected:
    // Columns where the frame differs from the painted scene, below the buttons.
    static std::pair<int, int> horseColumns(const QImage& shot) {
        const QImage& scene = painted("/scene.bmp");
        int first = 740, last = -1;
        for (int y = 120; y < 419; ++y)
            for (int x = 0; x < 740; ++x)
                if (shot.pixel(x, y) != scene.pixel(x, y)) first = std::min(first, x), last = std::max(last, x);
        return {first, last};
    }

    void seeGallopRunning(Look command2) {
        std::vector<QImage> seen;
        const auto isNew = [&](const QImage& shot) {
            for (Frame end : {Frame::AtRest, Frame::AfterSlide, Frame::AfterGallop})
                if (shows(shot, end)) return false;
            for (const QImage& o : seen)
                if (!differ(shot, o)) return false;
            return true;
        };
        const QImage second = see([&](const QImage& shot) {
            if (!buttonsLook(shot, Look::Plain, command2) || !isNew(shot)) return false;
            const auto [first, last] = horseColumns(shot);
            EXPECT_GE(first, 0) << lastShotKept();
            EXPECT_LE(last, 547 + 152) << lastShotKept();
            // A pose may show beside the one before it for a moment, 200 twips on.
            EXPECT_LE(last - first, 170) << "one horse, not two" << lastShotKept();
            seen.push_back(shot);
            return seen.size() == 2;
        });
        ASSERT_FALSE(second.isNull()) << "two frames of a gallop with Command2 " << kLookName[int(command2)]
                                      << "; seen " << seen.size() << lastShotKept();
    }

    void settles(Frame f) {
        ASSERT_NO_FATAL_FAILURE(act({Do::Tab}));
        const bool on1 = focus_ == Button::Command1;
        const QImage settled = see([&](const QImage& shot) {
            return shows(shot, f) &&
                   buttonsLook(shot, on1 ? Look::Focused : Look::Plain, on1 ? Look::Plain : Look::Focused);
        });
        ASSERT_FALSE(settled.isNull()) << "settles on frame " << int(f) << " with the focus on Command" << (on1 ? 1 : 2)
                                       << lastShotKept();
    }

    void act(const Step& step) {
        switch (step.action) {
            case Do::ClickSlide:
            case Do::ClickGallop:
                focus_ = step.action == Do::ClickSlide ? Button::Command1 : Button::Command2;
                ASSERT_NO_FATAL_FAILURE(click(focus_));
                break;
            case Do::Tab:
                focus_ = focus_ == Button::Command1 ? Button::Command2 : Button::Command1;
                ASSERT_NO_FATAL_FAILURE(key("Tab"));
                break;
            case Do::Space: ASSERT_NO_FATAL_FAILURE(key("space")); break;
            case Do::RequestClose: ASSERT_NO_FATAL_FAILURE(requestClose()); break;
            case Do::Settles: ASSERT_NO_FATAL_FAILURE(settles(step.frame)); break;
            case Do::SeeGallopRunning: ASSERT_NO_FATAL_FAILURE(seeGallopRunning(step.command2)); break;
            case Do::ExitsWithZero:
                EXPECT_TRUE(exitsWithZero(60s)) << "closing ends the process with exit code 0";
                break;
        }
    }
};

TEST_P(RealWindowCase, BehavesAsAUserSeesIt) {
    QByteArray name, geometry;
    ASSERT_TRUE(run("xdotool", {"getwindowname", window_}, &name)) << lastError_;
    EXPECT_EQ(name, "Form1");
    ASSERT_TRUE(run("xdotool", {"getwindowgeometry", window_}, &geometry)) << lastError_;
    EXPECT_TRUE(geometry.contains("Geometry: 740x419"));

    for (const Step& step : GetParam().steps) ASSERT_NO_FATAL_FAILURE(act(step));
    if (program_.state() == QProcess::Running) {
        ASSERT_NO_FATAL_FAILURE(requestClose());
        EXPECT_TRUE(exitsWithZero(60s)) << "the window stays responsive and closes";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RealWindowCase, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelk::tests
