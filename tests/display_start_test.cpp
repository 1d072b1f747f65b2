// The built program started on displays it cannot use: each start ends, in
// one line on stderr and exit code 2, before any window is shown; on one it
// can use, the window opens. Every wait here has a limit, so a program that
// hangs fails the test instead of holding it.
#include "tests/tools/xvfb.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <random>
#include <string>
#include <utility>

namespace zelk::tests {
namespace {

QCoreApplication& coreApp() {
    static int argc = 1;
    static char name[] = "zelk-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// A socket that takes connections and never says a word: the kernel
// completes each connection for the listening socket, and nobody reads.
class SilentListener {
public:
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    SilentListener(SilentListener&& other) noexcept
        : fd_(std::exchange(other.fd_, -1)), display_(std::move(other.display_)) {}
    ~SilentListener() {
        if (fd_ >= 0) close(fd_);
    }

    // On the local display socket of a free display number, in the abstract
    // namespace where the client library looks first, so no file is left behind.
    static SilentListener local() {
        std::mt19937 draw(std::random_device{}());
        for (int attempt = 0; attempt < 20; ++attempt) {
            const int number = std::uniform_int_distribution(20000, 29999)(draw);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
            std::memcpy(address.sun_path + 1, path.data(), path.size());  // sun_path[0] stays 0: abstract
            SilentListener l(socket(AF_UNIX, SOCK_STREAM, 0), ":" + std::to_string(number));
            const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + path.size());
            if (bind(l.fd_, reinterpret_cast<const sockaddr*>(&address), length) == 0 && listen(l.fd_, 8) == 0)
                return l;
        }
        return SilentListener(-1, "no free display number");
    }

    // On a loopback port the kernel picks; display N is port 6000 + N.
    static SilentListener network() {
        SilentListener l(socket(AF_INET, SOCK_STREAM, 0), "");
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(l.fd_, reinterpret_cast<const sockaddr*>(&address), length) != 0 || listen(l.fd_, 8) != 0 ||
            getsockname(l.fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0 || ntohs(address.sin_port) < 6000)
            return SilentListener(-1, "no loopback port above 6000");
        l.display_ = "127.0.0.1:" + std::to_string(ntohs(address.sin_port) - 6000);
        return l;
    }

    bool listening() const { return fd_ >= 0; }
    // The DISPLAY value that leads to it, or why there is none.
    const std::string& display() const { return display_; }

private:
    SilentListener(int fd, std::string display) : fd_(fd), display_(std::move(display)) {}
    int fd_;
    std::string display_;
};

// The program started on `display`, with the platform Qt picks by itself;
// killed at the end of the test if it is still running.
class Program {
public:
    explicit Program(const QString& display) {
        coreApp();
        env_ = QProcessEnvironment::systemEnvironment();
        env_.remove("QT_QPA_PLATFORM");
        env_.remove("WAYLAND_DISPLAY");
        env_.insert("DISPLAY", display);
        env_.insert("XDG_RUNTIME_DIR", runtimeDir_.path());  // Qt warns about a missing one
        process_.setProcessEnvironment(env_);
        process_.start(ZELK_PROGRAM, {});
        process_.waitForStarted(10000);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.kill();
        process_.waitForFinished(5000);
    }

    bool endsWithin(int limitMs) {
        return process_.state() == QProcess::NotRunning || process_.waitForFinished(limitMs);
    }
    int exitCode() const { return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1; }
    std::string standardError() {
        process_.waitForFinished(0);  // takes in what a program that has ended still had to say
        return process_.readAllStandardError().toStdString();
    }

    bool showsItsWindowWithin(int limitMs) {
        QProcess search;
        search.setProcessEnvironment(env_);
        search.start("xdotool", {"search", "--sync", "--name", "^Form1$"});
        const bool found = search.waitForFinished(limitMs) && search.exitCode() == 0;
        if (search.state() != QProcess::NotRunning) search.kill(), search.waitForFinished(5000);
        return found;
    }

private:
    QTemporaryDir runtimeDir_;
    QProcessEnvironment env_;
    QProcess process_;
};

// A display that takes the connection and never answers: Qt would wait for it
// for ever, so the program gives it a few seconds and then says so.
TEST(DisplayStart, SilentDisplayEndsWithOneLineAndExitCode2) {
    const struct {
        const char* what;
        SilentListener (*listen)();
    } cases[] = {
        {"a local display", &SilentListener::local},
        {"a display over the network", &SilentListener::network},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SilentListener silent = c.listen();
        ASSERT_TRUE(silent.listening()) << silent.display();
        Program program(QString::fromStdString(silent.display()));
        if (!program.endsWithin(60000)) {
            ADD_FAILURE() << "still waiting after 60 s; stderr: " << program.standardError();
            continue;
        }
        EXPECT_EQ(program.exitCode(), 2);
        EXPECT_EQ(program.standardError(),
                  "zelk: cannot open the window: the display did not answer within 15 seconds "
                  "(platform default, DISPLAY \"" +
                      silent.display() + "\"); a display is needed\n");
    }
}

// Below 15 bits of colour Qt has no way to paint the pictures and the window
// would stay black; the program says what it needs instead of showing it.
TEST(DisplayStart, ScreenNeedsAtLeast15BitsOfColour) {
    const struct {
        int depth;
        const char* says;  // null: the window opens
    } cases[] = {
        {8,
         "zelk: cannot open the window: the screen has 8 bits of colour (platform default, DISPLAY \"%1\"); "
         "the window needs at least 15\n"},
        {15, nullptr},
        {16, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.depth << " bits");
        const Xvfb server(c.depth);
        const QString display = QString::fromStdString(server.display());
        Program program(display);
        if (c.says) {
            if (!program.endsWithin(30000)) {
                ADD_FAILURE() << "still running after 30 s; stderr: " << program.standardError();
                continue;
            }
            EXPECT_EQ(program.exitCode(), 2);
            EXPECT_EQ(program.standardError(), QString::fromLatin1(c.says).arg(display).toStdString());
        } else {
            EXPECT_TRUE(program.showsItsWindowWithin(30000)) << "no window; stderr: " << program.standardError();
        }
    }
}

}  // namespace
}  // namespace zelk::tests
