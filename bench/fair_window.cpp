// The fair baseline for start-up and memory: what the program's window has to
// show anyway. A window of the form's size and title, with its icon in both
// sizes, its two captioned buttons, one scene-sized picture painted at (0,0)
// and one horse-sized picture brought to its box and painted over it. The
// pictures are made in code: every pixel written once into an image of the
// stored picture's size, so the baseline pays for allocating, filling,
// stretching and painting them but for no stored format.
#include <QApplication>
#include <QIcon>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>

namespace {

QImage makePicture(int width, int height, QImage::Format format = QImage::Format_RGB32) {
    QImage picture(width, height, format);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) row[x] = qRgb(64 + x % 128, 96 + y % 128, 160 + (x ^ y) % 64);
    }
    return picture;
}

QIcon makeIcon() {
    QIcon icon;
    for (int side : {32, 16}) icon.addPixmap(QPixmap::fromImage(makePicture(side, side, QImage::Format_ARGB32)));
    return icon;
}

constexpr QRect kHorseBox(32, 168, 153, 153);

class FairWindow : public QWidget {
public:
    FairWindow() : scene_(makePicture(742, 424)) {
        setWindowTitle("Form1");
        setWindowIcon(makeIcon());
        setFixedSize(740, 419);
        setAttribute(Qt::WA_OpaquePaintEvent);
        auto* first = new QPushButton(QString::fromUtf8("Движение"), this);
        first->setGeometry(8, 16, 81, 33);
        auto* second = new QPushButton(QString::fromUtf8("Движение2"), this);
        second->setGeometry(8, 80, 81, 33);
        first->setFocus();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.setClipRegion(event->region());
        painter.fillRect(rect(), palette().window());
        painter.drawImage(0, 0, scene_);
        // Like the program's pictures, the horse is made when it is first shown.
        if (horse_.isNull())
            horse_ = makePicture(161, 164).scaled(kHorseBox.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        painter.drawImage(kHorseBox.topLeft(), horse_);
    }

private:
    QImage scene_, horse_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FairWindow window;
    window.show();
    return app.exec();
}
