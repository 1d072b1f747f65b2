// The window as a user meets it, on Qt's offscreen platform.
#include "qt_support.h"
#include "test_support.h"

#include "runtime_interface/exception_chain.h"
#include "runtime/form_window.h"
#include "runtime/start_up.h"
#include "program/form1.h"

#include <QEvent>
#include <QWindow>
#include <QMouseEvent>
#include <QPushButton>

namespace zelk::test {
namespace {

const QRgb kLawn = qRgb(0, 247, 0), kRoad = qRgb(189, 148, 123), kBlack = qRgb(0, 0, 0);

class FormWindowTest : public testing::Test {
protected:
    void SetUp() override {
        qtApp();
        project_ = rt::startProject(process(), image_symbols::kProjectHeader);
        window_ = std::make_unique<rt::FormWindow>(*project_->form);
        window_->show();
        while (!window_->windowHandle() || !window_->windowHandle()->isExposed()) qtApp().processEvents();
    }
    form1::Form1* form() const { return static_cast<form1::Form1*>(project_->form->object()); }
    rt::ImageControl& image(const char* name) const {
        for (const auto& i : project_->form->images())
            if (i->name() == name) return *i;
        throw std::out_of_range(name);
    }
    QImage frame() const { return window_->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    std::unique_ptr<rt::StartedProject> project_;
    std::unique_ptr<rt::FormWindow> window_;
};

TEST_F(FormWindowTest, OpensWithTheStoredLayout) {
    EXPECT_EQ(window_->windowTitle(), "Form1");
    EXPECT_EQ(window_->size(), QSize(740, 419));
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize()) << "not resizable";
    const struct {
        const char* name;
        const char* caption;
        QRect box;
    } buttons[] = {{"Command1", "Движение", QRect(8, 16, 81, 33)}, {"Command2", "Движение2", QRect(8, 80, 81, 33)}};
    for (const auto& b : buttons) {
        QPushButton* button = window_->button(b.name);
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(button->geometry(), b.box) << b.name;
        EXPECT_TRUE(button->isEnabled());
    }
    EXPECT_EQ(window_->button("Command1")->nextInFocusChain(), window_->button("Command2"))
        << "Tab order";

    EXPECT_TRUE(image("Img1").visible());
    EXPECT_FALSE(image("Img2").visible());
    EXPECT_FALSE(image("Img3").visible());
    EXPECT_EQ(image("Img1").box(), (rt::PixelRect{32, 168, 153, 153}));
    EXPECT_EQ(image("Img2").box(), (rt::PixelRect{224, 173, 153, 153}));
}

TEST_F(FormWindowTest, ShowsTheSceneOneToOneAndTheHorseStretchedIntoItsBox) {
    const QImage shot = frame();
    EXPECT_EQ(shot.pixel(370, 200), kLawn);
    EXPECT_EQ(shot.pixel(500, 230), kBlack);
    EXPECT_EQ(shot.pixel(370, 300), kRoad);
    EXPECT_EQ(shot.pixel(739, 418), kLawn);

    // Away from the buttons and Img1's box, every client pixel is the scene's.
    const QImage scene = rt::toQImage(project_->form->background());
    const QRect img1(32, 168, 153, 153), buttons(8, 16, 81, 97);
    int differing = 0;
    for (int y = 0; y < 419; ++y)
        for (int x = 0; x < 740; ++x)
            if (!img1.contains(x, y) && !buttons.contains(x, y) && shot.pixel(x, y) != scene.pixel(x, y)) ++differing;
    EXPECT_EQ(differing, 0);

    // Img1's box shows its whole picture, each box pixel the nearest picture pixel.
    const Picture& pose = image("Img1").picture();
    for (int y = 0; y < 153; y += 7)
        for (int x = 0; x < 153; x += 7) {
            const Rgb& p = pose.at(x * pose.width / 153, y * pose.height / 153);
            const QRgb want = qRgb(p.r, p.g, p.b);
            const QRgb got = shot.pixel(32 + x, 168 + y);
            const int sx = x * pose.width / 153, sy = y * pose.height / 153;
            // Nearest sampling may pick the neighbouring picture pixel at a boundary.
            bool near = got == want;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    const int nx = std::clamp(sx + dx, 0, pose.width - 1), ny = std::clamp(sy + dy, 0, pose.height - 1);
                    const Rgb& q = pose.at(nx, ny);
                    near = got == qRgb(q.r, q.g, q.b);
                }
            EXPECT_TRUE(near) << "box pixel " << x << "," << y;
        }
}

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(FormWindowTest, APutRepaintsBeforeItReturnsWithoutTheEventLoop) {
    PaintCounter counter;
    window_->installEventFilter(&counter);
    rt::ImageControl& img1 = image("Img1");
    img1.putLeft(8000.0f);
    EXPECT_GE(counter.paints, 1) << "Left put painted at once";
    const int afterLeft = counter.paints;
    image("Img3").putVisible(vb::kTrue);
    EXPECT_GT(counter.paints, afterLeft) << "Visible put painted at once";
    const int afterVisible = counter.paints;
    image("Img2").putLeft(100.0f);
    EXPECT_EQ(counter.paints, afterVisible) << "a hidden picture's move changes nothing on screen";
    EXPECT_EQ(frame().pixel(300, 300), kRoad) << "Img1 left its old place";
}

// What a handler saw when it reached its loop.
struct Entered {
    int count = 0;
    std::int32_t mark = -1;
    vb::Variant* movePos = nullptr;
};
Entered entered;

std::int32_t recordAndSkipLoop(vb::Variant* counter, vb::Variant*, vb::Variant*, const vb::Variant*,
                               const vb::Variant*, const vb::Variant*) {
    ++entered.count;
    entered.mark = vb::registrationHead->result;
    entered.movePos = counter;
    return 0;
}

TEST_F(FormWindowTest, AButtonsClickEntersItsHandlerMarkedWithTheVeryFormObject) {
    ImportSpy<rt::Import::__vbaVarForInit> spy(recordAndSkipLoop);
    for (const char* name : {"Command1", "Command2"}) {
        SCOPED_TRACE(name);
        entered = {};
        window_->button(name)->click();
        EXPECT_EQ(entered.count, 1);
        EXPECT_EQ(entered.mark, 1) << "entered as an event";
        EXPECT_EQ(entered.movePos, &form()->MovePos) << "bit 0 cleared gives the runtime's form";
        EXPECT_EQ(project_->form->referenceCount(), 1u);
    }
}

TEST_F(FormWindowTest, MethodTableEntersTheHandlersWithTheMarkClear) {
    ImportSpy<rt::Import::__vbaVarForInit> spy(recordAndSkipLoop);
    for (std::uint32_t method : project_->binding.methods) {
        entered = {};
        EXPECT_EQ(process().callEntry(method, reinterpret_cast<std::uintptr_t>(form())), 0);
        EXPECT_EQ(entered.count, 1);
        EXPECT_EQ(entered.mark, 0);
        EXPECT_EQ(entered.movePos, &form()->MovePos);
    }
}

TEST_F(FormWindowTest, ClicksOnAPictureOrTheBackgroundEnterNoHandler) {
    ImportSpy<rt::Import::__vbaVarForInit> spy(recordAndSkipLoop);
    entered = {};
    for (QPoint at : {QPoint(100, 250), QPoint(400, 60), QPoint(700, 400)}) {
        QMouseEvent press(QEvent::MouseButtonPress, at, window_->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, window_->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &press);
        QApplication::sendEvent(window_.get(), &release);
    }
    for (std::int32_t control : {-1, 3, 4, 5})
        for (int slot = 0; slot < 13; ++slot) EXPECT_EQ(project_->form->fireEvent(control, slot), 0);
    EXPECT_EQ(entered.count, 0);
    EXPECT_EQ(form()->MovePos.vt, vb::VT_EMPTY);
    EXPECT_EQ(form()->PauseCount, 0);
}

}  // namespace
}  // namespace zelk::test
