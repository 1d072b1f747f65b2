// Time from exec to the window's first frame on screen, the processor time the
// program has used by then, and resident memory at rest, against two baselines
// on one Xvfb: a bare Qt window of the same size, and a Qt window with the same
// content (title, icon, captioned buttons, a scene and a horse). The programs
// are launched in many interleaved rounds: with other work on the machine a
// single launch may wait for a core for longer than it runs, and only the
// median of many rounds' ratios holds still.
#include "interleaved_rounds.h"
#include "ratio_reporter.h"

#include "tests/tools/xvfb.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

std::string gDisplay;

// Our own Xvfb for the whole run, stopped at exit; the programs launched find
// it in DISPLAY.
void startXvfb() {
    static std::unique_ptr<zelk::tests::Xvfb> xvfb;
    try {
        xvfb = std::make_unique<zelk::tests::Xvfb>();
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        std::exit(1);
    }
    gDisplay = xvfb->display();
    setenv("DISPLAY", gDisplay.c_str(), 1);
    unsetenv("QT_QPA_PLATFORM");
}

Display* openDisplay() {
    if (Display* d = XOpenDisplay(gDisplay.c_str())) return d;
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
        XImage* pixel = XGetImage(d, children[i], 370, 300, 1, 1, AllPlanes, ZPixmap);
        if (pixel) {
            found = XGetPixel(pixel, 0, 0) != 0;
            XDestroyImage(pixel);
        }
    }
    if (children) XFree(children);
    return found;
}

struct Launch {
    double secondsToFirstFrame;  // negative: no first frame in time
    double processorSecondsToFirstFrame;
    long residentKiB;
};

constexpr auto kFirstFrameLimit = std::chrono::seconds(20);

// What all the process's threads have run so far, from the scheduler's own
// nanosecond count rather than the tick-rounded times of its status.
double processorSeconds(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double seconds = 0;
    for (const auto& task : std::filesystem::directory_iterator(tasks)) {
        std::ifstream schedule(task.path() / "schedstat");
        long long ranNanoseconds = 0;
        if (schedule >> ranNanoseconds) seconds += double(ranNanoseconds) * 1e-9;
    }
    return seconds;
}

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
    bool shown = false;
    while (!(shown = painted(d)) && Clock::now() - start < kFirstFrameLimit)
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    Launch result{shown ? std::chrono::duration<double>(Clock::now() - start).count() : -1.0,
                  shown ? processorSeconds(pid) : -1.0,
                  0};
    if (shown && measureMemory) {
        std::this_thread::sleep_for(std::chrono::seconds(1));  // at rest
        result.residentKiB = residentKiB(pid);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(d);
    return result;
}

struct Program {
    const char* name;
    const char* path;
};

const Program kPrograms[] = {
    {"BareWindow", ZELK_BARE_WINDOW}, {"FairWindow", ZELK_FAIR_WINDOW}, {"Zelk", ZELK_PROGRAM}};
constexpr int kStartUpRounds = 150;
constexpr int kMemoryRounds = 3;

}  // namespace

int main(int argc, char** argv) {
    startXvfb();
    zelk::bench::InterleavedRounds startUps, memory;
    for (const Program& p : kPrograms) {
        const std::string name = p.name;
        startUps.add({"startUp/" + name, "processorToFirstFrame/" + name}, [p] {
            const Launch l = launch(p.path, false);
            return std::vector<double>{l.secondsToFirstFrame, l.processorSecondsToFirstFrame};
        });
        memory.add("residentMemory/" + name, [p] {
            const long kiB = launch(p.path, true).residentKiB;
            return kiB > 0 ? double(kiB) / 1e6 : -1.0;  // reported as "seconds": KiB / 10^6, for the ratio
        });
    }
    startUps.run(kStartUpRounds);
    memory.run(kMemoryRounds, 0);  // nothing to warm: resident memory does not depend on what ran before
    startUps.registerBenchmarks(benchmark::kMillisecond);
    memory.registerBenchmarks(benchmark::kSecond, "RSS_KiB", 1e6);
    return zelk::bench::runWithRatios(
        argc,
        argv,
        {{"startUp/Zelk", "startUp/FairWindow", "exec to first frame / same-content Qt window", 0.9, 1.05},
         {"startUp/Zelk", "startUp/BareWindow", "exec to first frame / bare Qt window", 0.9, 1.4},
         {"processorToFirstFrame/Zelk",
          "processorToFirstFrame/FairWindow",
          "processor time to first frame / same-content window",
          0.9,
          1.05},
         {"residentMemory/Zelk",
          "residentMemory/FairWindow",
          "resident memory at rest / same-content Qt window",
          0.9,
          1.1},
         {"residentMemory/Zelk", "residentMemory/BareWindow", "resident memory at rest / bare Qt window", 0.9, 1.5}});
}
