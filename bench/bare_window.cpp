// The baseline for start-up and memory: a bare Qt window of the same size.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare");
    window.setFixedSize(740, 419);
    window.show();
    return app.exec();
}
