// The fair baseline for start-up and memory: what the program's window has to
// do anyway. A window of the form's size and title, its two captioned buttons,
// and one scene-sized picture painted at (0,0). The picture is made in code:
// every pixel written once into an image of the scene's size, so the baseline
// pays for allocating, filling and painting a scene but for no stored format.
#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QWidget>

namespace {

QImage makeScene() {
    constexpr int width = 742, height = 424;
    QImage scene(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(scene.scanLine(y));
        for (int x = 0; x < width; ++x) row[x] = qRgb(64 + x % 128, 96 + y % 128, 160 + (x ^ y) % 64);
    }
    return scene;
}

class FairWindow : public QWidget {
public:
    FairWindow() : scene_(makeScene()) {
        setWindowTitle("Form1");
        setFixedSize(740, 419);
        setAttribute(Qt::WA_OpaquePaintEvent);
        auto* first = new QPushButton(QString::fromUtf8("Движение"), this);
        first->setGeometry(8, 16, 81, 33);
        auto* second = new QPushButton(QString::fromUtf8("Движение2"), this);
        second->setGeometry(8, 80, 81, 33);
        first->setFocus();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, scene_);
    }

private:
    QImage scene_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FairWindow window;
    window.show();
    return app.exec();
}
