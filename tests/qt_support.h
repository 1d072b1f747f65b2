#pragma once

// An offscreen QApplication for the window tests, made once per test program.

#include <QApplication>
#include <QImage>

#include <cstdlib>

namespace zelk::test {

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

}  // namespace zelk::test
