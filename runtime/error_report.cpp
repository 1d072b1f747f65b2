#include "runtime/process.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace zelk::runtime {

std::string runTimeErrorMessage(const runtime_interface::RaisedError& error) {
    return "Run-time error '" + std::to_string(error.number()) + "':\n\n" + error.description();
}

void reportAndExit(const runtime_interface::RaisedError& error) {
    const std::string message = runTimeErrorMessage(error);
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) && QGuiApplication::platformName() != "offscreen")
        QMessageBox::critical(nullptr, QStringLiteral("zelk"), QString::fromStdString(message));
    // The form and its handlers are in an unknown state: no destructors run.
    std::_Exit(1);
}

}  // namespace zelk::runtime
