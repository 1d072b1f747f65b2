// Opening the window system, with an end for each way it can fail.
#include "runtime/display_start.h"

#include <QApplication>
#include <QScreen>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace zelk::runtime {
namespace {

std::string quotedEnv(const char* name, const char* unset) {
    return qEnvironmentVariableIsSet(name) ? '"' + qEnvironmentVariable(name).toStdString() + '"' : unset;
}

// The one line that says why the window cannot open, on which display, and
// what the window needs.
std::string cannotOpenLine(const std::string& cause, std::string_view need) {
    return "zelk: cannot open the window: " + cause + " (platform " + quotedEnv("QT_QPA_PLATFORM", "default") +
           ", DISPLAY " + quotedEnv("DISPLAY", "not set") + "); " + std::string(need) + "\n";
}

constexpr std::string_view kDisplayNeeded = "a display is needed";

[[noreturn]] void endWith(const std::string& line) {
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(2);
}

// When Qt cannot reach a window system it warns under qt.qpa.* and then sends
// a fatal message that aborts. While the application object is made, those
// warnings are held back and the fatal message becomes one line and exit code 2.
class PlatformStart {
public:
    PlatformStart() { previous_ = qInstallMessageHandler(&PlatformStart::handle); }
    ~PlatformStart() {
        qInstallMessageHandler(previous_);
        // It started after all: let the warnings through as Qt meant them.
        for (const Held& h : held_) {
            const QMessageLogContext context(nullptr, 0, nullptr, h.category.c_str());
            if (previous_) previous_(h.type, context, h.message);
        }
        held_.clear();
    }
    PlatformStart(const PlatformStart&) = delete;
    PlatformStart& operator=(const PlatformStart&) = delete;

private:
    struct Held {
        QtMsgType type;
        std::string category;
        QString message;
    };

    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type == QtFatalMsg) {
            QString cause = message.section(u'\n', 0, 0);
            for (const Held& h : held_)
                if (h.type == QtWarningMsg || h.type == QtCriticalMsg) {
                    cause = h.message;
                    break;
                }
            endWith(cannotOpenLine(cause.trimmed().toLocal8Bit().toStdString(), kDisplayNeeded));
        }
        if (context.category && std::string_view(context.category).starts_with("qt.qpa")) {
            held_.push_back({type, context.category, message});
            return;
        }
        if (previous_) previous_(type, context, message);
    }

    static inline QtMessageHandler previous_ = nullptr;
    static inline std::vector<Held> held_;
};

// Qt waits for the window system's answer without a limit, so a display that
// takes the connection and never answers would hang the program without a
// word. An alarm ends it instead, unless it is disarmed in time. A signal, not
// a thread: it costs the start-up nothing it can feel.
class DisplayWatchdog {
public:
    DisplayWatchdog() {
        line_ = cannotOpenLine(
            "the display did not answer within " + std::to_string(kDisplayAnswerLimit.count()) + " seconds",
            kDisplayNeeded);
        struct sigaction action {};
        action.sa_handler = &DisplayWatchdog::fire;
        sigemptyset(&action.sa_mask);
        sigaction(SIGALRM, &action, &previous_);
        alarm(unsigned(kDisplayAnswerLimit.count()));
    }
    ~DisplayWatchdog() {
        alarm(0);
        sigaction(SIGALRM, &previous_, nullptr);
    }
    DisplayWatchdog(const DisplayWatchdog&) = delete;
    DisplayWatchdog& operator=(const DisplayWatchdog&) = delete;

private:
    // Only what a signal handler may call: the line was made beforehand.
    static void fire(int) {
        const char* text = line_.data();
        std::size_t left = line_.size();
        while (left > 0) {
            const ssize_t written = write(STDERR_FILENO, text, left);
            if (written <= 0) break;
            text += written;
            left -= std::size_t(written);
        }
        _exit(2);
    }

    static inline std::string line_;
    struct sigaction previous_ {};
};

}  // namespace

std::unique_ptr<QApplication> openDisplay() {
    static int argc = 1;
    static char name[] = "zelk";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QApplication> app;
    {
        const PlatformStart platformStart;
        const DisplayWatchdog watchdog;
        app = std::make_unique<QApplication>(argc, argv);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen && screen->depth() < kLeastColourBits)
        endWith(cannotOpenLine("the screen has " + std::to_string(screen->depth()) + " bits of colour",
                               "the window needs at least " + std::to_string(kLeastColourBits)));
    return app;
}

}  // namespace zelk::runtime
