#include "tests/tools/xvfb.h"

#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <random>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zelk::tests {
namespace {

constexpr int kAttempts = 5;
constexpr int kStartLimitMs = 20000;
// Where the server writes its display number when ready.
constexpr int kServerReadyFd = 3;
constexpr const char* kServerReadyFdName = "3";

void stop(pid_t server) {
    kill(server, SIGTERM);
    while (waitpid(server, nullptr, 0) < 0 && errno == EINTR) {}
}

// Servers that pick their own display probe upwards from the lowest, so ours
// asks for a number far above theirs, drawn at random. -noreset: a server
// that resets as its last client leaves turns away whoever connects meanwhile.
pid_t startServer(int number, int depth, int readyPipe) {
    const std::string display = ":" + std::to_string(number);
    const std::string screen = "1024x768x" + std::to_string(depth);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // Only async-signal-safe calls from here: the caller may have threads.
    // The server goes with whoever started it, even one killed on a timeout.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
    if (readyPipe == kServerReadyFd)
        fcntl(readyPipe, F_SETFD, 0);
    else
        dup2(readyPipe, kServerReadyFd);  // the copy stays open across exec
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, STDOUT_FILENO);  // holds no pipe of the caller's open
    dup2(devnull, STDERR_FILENO);
    execlp("Xvfb",
           "Xvfb",
           display.c_str(),
           "-displayfd",
           kServerReadyFdName,
           "-noreset",
           "-screen",
           "0",
           screen.c_str(),
           "-br",
           "-nolisten",
           "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
}

// The display number the server writes once it takes connections; empty when
// it ends first (the display was taken) or takes too long.
std::string readyDisplay(int readEnd) {
    std::string number;
    pollfd ready{readEnd, POLLIN, 0};
    while (number.empty() || number.back() != '\n') {
        const int polled = poll(&ready, 1, kStartLimitMs);
        if (polled < 0 && errno == EINTR) continue;
        char chunk[16];
        const ssize_t n = polled > 0 ? read(readEnd, chunk, sizeof chunk) : -1;
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return {};
        number.append(chunk, std::size_t(n));
    }
    number.pop_back();
    return ":" + number;
}

bool answers(const std::string& display) {
    Display* connection = XOpenDisplay(display.c_str());
    if (!connection) return false;
    XCloseDisplay(connection);
    return true;
}

}  // namespace

Xvfb::Xvfb(int depth) {
    std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> number(1000, 29999);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        int ready[2];
        // Close-on-exec: no other child keeps the write end, so the server's end reads as end of file.
        if (pipe2(ready, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for Xvfb");
        const pid_t server = startServer(number(random), depth, ready[1]);
        close(ready[1]);
        if (server < 0) {
            close(ready[0]);
            throw std::runtime_error("cannot fork for Xvfb");
        }
        display_ = readyDisplay(ready[0]);
        close(ready[0]);
        if (!display_.empty() && answers(display_)) {
            server_ = server;
            return;
        }
        stop(server);
    }
    throw std::runtime_error("Xvfb found no free display in " + std::to_string(kAttempts) + " tries");
}

Xvfb::~Xvfb() { stop(server_); }

}  // namespace zelk::tests
