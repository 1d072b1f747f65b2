// Time from exec to the window's first frame on screen, and resident memory at
// rest, against a bare Qt window of the same size, on one Xvfb.
#include "ratio_reporter.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

std::string gDisplay;
pid_t gXvfb = 0;

void startXvfb() {
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    gXvfb = fork();
    if (gXvfb == 0) {
        close(fds[0]);
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);  // keep no pipe of ours open
        dup2(devnull, 2);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-br", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char buf[16] = {};
    const ssize_t n = read(fds[0], buf, sizeof buf - 1);
    close(fds[0]);
    if (n <= 0) {
        std::fprintf(stderr, "Xvfb did not start\n");
        std::exit(1);
    }
    char name[32];
    std::snprintf(name, sizeof name, ":%d", std::atoi(buf));
    gDisplay = name;
    setenv("DISPLAY", gDisplay.c_str(), 1);
    unsetenv("QT_QPA_PLATFORM");
    std::atexit([] {
        kill(gXvfb, SIGTERM);
        waitpid(gXvfb, nullptr, 0);
    });
}

Display* openDisplay() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (Display* d = XOpenDisplay(gDisplay.c_str())) return d;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::fprintf(stderr, "cannot open display %s\n", gDisplay.c_str());
    std::exit(1);
}

// A mapped top-level window whose centre is no longer the black root.
bool painted(Display* d) {
    Window root = DefaultRootWindow(d), parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, root, &root, &parent, &children, &count)) return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable || a.width != 740) continue;
        XImage* img = XGetImage(d, children[i], 370, 300, 1, 1, AllPlanes, ZPixmap);
        if (img) {
            found = XGetPixel(img, 0, 0) != 0;
            XDestroyImage(img);
        }
    }
    if (children) XFree(children);
    return found;
}

struct Launch {
    double secondsToFirstFrame;
    long residentKiB;
};

long residentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

Launch launch(const char* program, bool measureMemory) {
    Display* d = openDisplay();
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    while (!painted(d)) std::this_thread::sleep_for(std::chrono::microseconds(500));
    Launch result{std::chrono::duration<double>(Clock::now() - start).count(), 0};
    if (measureMemory) {
        std::this_thread::sleep_for(std::chrono::seconds(1));  // at rest
        result.residentKiB = residentKiB(pid);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(d);
    return result;
}

void startUp(benchmark::State& state, const char* program) {
    for (auto _ : state) state.SetIterationTime(launch(program, false).secondsToFirstFrame);
}

void residentMemory(benchmark::State& state, const char* program) {
    long kib = 0;
    for (auto _ : state) {
        kib = launch(program, true).residentKiB;
        state.SetIterationTime(double(kib) / 1e6);  // reported as "seconds": KiB / 10^6, for the ratio
    }
    state.counters["RSS_KiB"] = double(kib);
}

}  // namespace

int main(int argc, char** argv) {
    startXvfb();
    BENCHMARK_CAPTURE(startUp, BareWindow, ZELK_BARE_WINDOW)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
    BENCHMARK_CAPTURE(startUp, Zelk, ZELK_PROGRAM)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
    BENCHMARK_CAPTURE(residentMemory, BareWindow, ZELK_BARE_WINDOW)->UseManualTime()->Iterations(2);
    BENCHMARK_CAPTURE(residentMemory, Zelk, ZELK_PROGRAM)->UseManualTime()->Iterations(2);
    const int rc = zelk::bench::runWithRatios(
        argc, argv,
        {{"startUp/Zelk", "startUp/BareWindow", "exec to first frame / bare Qt window", 0.8, 1.3},
         {"residentMemory/Zelk", "residentMemory/BareWindow", "resident memory at rest / bare Qt window", 0.8, 1.5}});
    return rc;
}
