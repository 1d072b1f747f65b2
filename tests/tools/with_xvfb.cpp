// Runs a command on an Xvfb of its own and stops the server afterwards,
// whatever the command's exit. Usage: zelk-with-xvfb COMMAND [ARGUMENT...]
// The exit status is the command's (128 + the signal when one ended it).
#include "tests/tools/xvfb.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>

#include <sys/wait.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t gCommand = 0;

// A stop request is passed on, so the command ends first and the server after
// it; before the command runs, the server goes with us.
void passOn(int signal) {
    if (gCommand > 0)
        kill(pid_t(gCommand), signal);
    else
        _exit(128 + signal);
}

int run(const zelk::tests::Xvfb& xvfb, char** command) {
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("cannot fork");
    if (pid == 0) {
        setenv("DISPLAY", xvfb.display().c_str(), 1);
        unsetenv("QT_QPA_PLATFORM");  // a real display, not Qt's offscreen one
        execvp(command[0], command);
        std::perror(command[0]);
        _exit(127);
    }
    gCommand = pid;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) throw std::runtime_error("lost the command");
    gCommand = 0;
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s COMMAND [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, passOn);
    try {
        const zelk::tests::Xvfb xvfb;
        return run(xvfb, argv + 1);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "with_xvfb: %s\n", e.what());
        return 1;
    }
}
