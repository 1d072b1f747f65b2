// The window as a user meets it, on Qt's offscreen platform. What it shows is
// judged against the painted bitmaps and the stored twips, never against the
// runtime's own drawing.
#include "expected_window.h"
#include "qt_support.h"

#include "runtime_interface/exception_chain.h"
#include "runtime/exports.h"
#include "program/form1.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPushButton>

#include <cmath>
#include <map>
#include <sstream>
#include <vector>

// Readable boxes in failure messages.
void PrintTo(const QRect& r, std::ostream* os) {
    *os << "x " << r.x() << ", y " << r.y() << ", " << r.width() << " x " << r.height();
}

namespace zelk::tests {
namespace {

using FormWindowTest = ProgramWindow;

TEST_F(FormWindowTest, OpensWithTheStoredLayout) {
    EXPECT_EQ(window_->windowTitle(), "Form1");
    EXPECT_EQ(window_->size(), QSize(740, 419));
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize()) << "not resizable";
    const struct {
        const char* name;
        const char* caption;
        QRect box;
    } buttons[] = {{"Command1", "Движение", kCommand1Box}, {"Command2", "Движение2", kCommand2Box}};
    for (const auto& b : buttons) {
        QPushButton* button = window_->button(b.name);
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(button->geometry(), b.box) << b.name;
        EXPECT_TRUE(button->isVisible() && button->isEnabled()) << b.name;
    }
    EXPECT_EQ(window_->button("Command1")->nextInFocusChain(), window_->button("Command2")) << "Tab order";

    const struct {
        const char* name;
        bool visible;
        int left;
    } pictures[] = {{"Img1", true, 480}, {"Img2", false, 3360}, {"Img3", false, 6840}};
    for (const auto& p : pictures) {
        const runtime::PixelRect box = image(p.name).box();
        EXPECT_EQ(QRect(box.x, box.y, box.width, box.height), poseBox(p.name, p.left)) << p.name;
        EXPECT_EQ(image(p.name).visible(), p.visible) << p.name;
    }
}

TEST_F(FormWindowTest, TheUpperButtonHoldsTheFocusFromTheMomentItShows) {
    QPushButton* command1 = window_->button("Command1");
    EXPECT_EQ(focusWhenShown_, command1) << "before the window system activated the window";
    EXPECT_EQ(QApplication::focusWidget(), command1) << "once it is active";
}

TEST_F(FormWindowTest, CarriesTheModulesIconAtBothSizes) {
    const QIcon icon = window_->windowIcon();
    QList<QSize> sizes = icon.availableSizes();
    std::ranges::sort(sizes, {}, &QSize::width);
    ASSERT_EQ(sizes, (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
    const QImage large = icon.pixmap(QSize(32, 32)).toImage(), small = icon.pixmap(QSize(16, 16)).toImage();
    ASSERT_EQ(large.size(), QSize(32, 32));
    ASSERT_EQ(small.size(), QSize(16, 16));
    // The title band is cyan only in the sixteen-colour images.
    EXPECT_EQ(large.pixel(6, 7), qRgb(0, 255, 255));
    EXPECT_EQ(small.pixel(3, 4), qRgb(0, 255, 255));
    EXPECT_EQ(qAlpha(large.pixel(0, 0)), 0) << "outside the drawing";
    EXPECT_EQ(qAlpha(small.pixel(0, 0)), 0) << "outside the drawing";
}

TEST_F(FormWindowTest, OpensOnTheSceneInItsOwnColoursWithTheHorseAtRest) {
    const QImage shot = shown();
    ASSERT_EQ(shot.size(), QSize(740, 419));
    const struct {
        const char* what;
        int x, y;
        QRgb colour;
    } places[] = {
        {"sky", 0, 0, qRgb(0, 247, 247)},
        {"sky", 739, 0, qRgb(0, 247, 247)},
        {"road", 370, 300, qRgb(189, 148, 123)},
        {"road outline", 500, 230, qRgb(0, 0, 0)},
        {"lawn", 370, 200, qRgb(0, 247, 0)},
        {"lawn", 739, 418, qRgb(0, 247, 0)},
        {"canopy", 100, 100, qRgb(123, 214, 0)},
        {"bird", 175, 60, qRgb(255, 0, 0)},
        {"bush", 520, 100, qRgb(90, 165, 0)},
        {"house wall", 600, 60, qRgb(247, 247, 0)},
        {"sun's core", 389, 25, qRgb(247, 247, 239)},
    };
    for (const auto& p : places)
        EXPECT_EQ(rgb(shot.pixel(p.x, p.y)), rgb(p.colour)) << p.what << " at " << p.x << ", " << p.y;
    EXPECT_TRUE(showsSceneWith(shot, {{"Img1", 480}}));
}

// Each put shows on the screen before it returns, with no turn of the event
// loop: the old place shows the scene again and the new one the horse.
TEST_F(FormWindowTest, EveryPutReachesTheScreenBeforeItReturns) {
    enum class Put { Visible, Left };
    const struct Step {
        const char* picture;
        Put put;
        int value;  // -1 or 0 for Visible, twips for Left
        std::vector<Horse> shown;
    } steps[] = {
        {"Img1", Put::Left, 8000, {{"Img1", 8000}}},
        {"Img1", Put::Visible, 0, {}},
        {"Img1", Put::Left, 4000, {}},
        {"Img2", Put::Visible, -1, {{"Img2", 3360}}},
        {"Img2", Put::Left, 100, {{"Img2", 100}}},  // 6 2/3 pixels
        {"Img3", Put::Visible, -1, {{"Img2", 100}, {"Img3", 6840}}},
        {"Img2", Put::Visible, 0, {{"Img3", 6840}}},
        {"Img3", Put::Left, 8200, {{"Img3", 8200}}},  // 546 2/3 pixels
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.put == Put::Left ? "Left" : "Visible") + " of " + s.picture + " to " +
                     std::to_string(s.value));
        runtime::ImageControl& control = image(s.picture);
        if (s.put == Put::Left)
            control.putLeft(float(s.value));
        else
            control.putVisible(std::int16_t(s.value));
        for (const Horse& h : s.shown) {
            const runtime::PixelRect box = image(h.name).box();
            EXPECT_EQ(QRect(box.x, box.y, box.width, box.height), poseBox(h.name, h.left)) << h.name;
        }
        EXPECT_TRUE(showsSceneWith(shown(), s.shown));
    }
}

// What a handler saw when it reached its loop, which is left after one pass.
struct Entered {
    int count = 0;
    std::int32_t mark = -1;
    runtime_interface::Variant* movePos = nullptr;
};
Entered entered;

std::int32_t noteEntry(runtime_interface::Variant* counter, runtime_interface::Variant* hiddenEnd,
                       runtime_interface::Variant* hiddenStep, const runtime_interface::Variant* start,
                       const runtime_interface::Variant* end, const runtime_interface::Variant* step) {
    ++entered.count;
    entered.mark = runtime_interface::registrationHead->result;
    entered.movePos = counter;
    return runtime::__vbaVarForInit(counter, hiddenEnd, hiddenStep, start, end, step);
}

std::int32_t endAfterOnePass(runtime_interface::Variant*, runtime_interface::Variant*, runtime_interface::Variant*) {
    return 0;
}

class OnePassOfALoop {
public:
    OnePassOfALoop() { entered = {}; }

private:
    ImportSpy<formats::Import::__vbaVarForInit> init_{noteEntry};
    ImportSpy<formats::Import::__vbaVarForNext> next_{endAfterOnePass};
};

struct EntryCase {
    const char* name;
    const char* button;  // clicked; null: called through the method table
    int method;
    std::int32_t mark;
    PictureState afterOnePass[3];  // Img1, Img2, Img3
    std::int32_t pauseCount;
};

void PrintTo(const EntryCase& c, std::ostream* os) { *os << c.name; }

// One pass of the slide shows Img1, hides the others and puts Img1 at 0; the
// gallop's first step ends with Img3 alone shown, at 200.
const EntryCase kEntries[] = {
    {"click_Command1", "Command1", -1, 1, {{true, 0}, {false, 3360}, {false, 6840}}, 20000001},
    {"click_Command2", "Command2", -1, 1, {{false, 0}, {false, 100}, {true, 200}}, 50000001},
    {"method_0", nullptr, 0, 0, {{true, 0}, {false, 3360}, {false, 6840}}, 20000001},
    {"method_1", nullptr, 1, 0, {{false, 0}, {false, 100}, {true, 200}}, 50000001},
};

class Entering : public ProgramWindow, public testing::WithParamInterface<EntryCase> {};

TEST_P(Entering, RunsItsOwnSequenceOnTheVeryFormObject) {
    const EntryCase& c = GetParam();
    auto* object = static_cast<program::Form1*>(form().object());
    OnePassOfALoop onePass;
    if (c.button) {
        window_->button(c.button)->click();
    } else {
        EXPECT_EQ(form().callMethod(c.method, reinterpret_cast<std::uintptr_t>(object)), 0);
    }
    EXPECT_EQ(entered.count, 1);
    EXPECT_EQ(entered.mark, c.mark) << "the entered-as-event mark";
    EXPECT_EQ(entered.movePos, &object->MovePos) << "bit 0 cleared gives the runtime's form";
    expectPictures(form(), c.afterOnePass);
    EXPECT_EQ(object->PauseCount, c.pauseCount);
    EXPECT_EQ(form().referenceCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Entries, Entering, testing::ValuesIn(kEntries),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormWindowTest, ClicksOnAPictureOrTheBackgroundEnterNoHandler) {
    OnePassOfALoop onePass;
    for (QPoint at : {QPoint(100, 250), QPoint(400, 60), QPoint(700, 400)}) {
        QMouseEvent press(
            QEvent::MouseButtonPress, at, window_->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(
            QEvent::MouseButtonRelease, at, window_->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &press);
        QApplication::sendEvent(window_.get(), &release);
    }
    for (std::int32_t control : {-1, 3, 4, 5})
        for (int slot = 0; slot < 13; ++slot) EXPECT_EQ(form().fireEvent(control, slot), 0);
    EXPECT_EQ(entered.count, 0);
    const auto* object = static_cast<const program::Form1*>(form().object());
    EXPECT_EQ(object->MovePos.type, runtime_interface::VariantType::Empty);
    EXPECT_EQ(object->PauseCount, 0);
}

}  // namespace
}  // namespace zelk::tests
