// Time from exec to the window's first frame on screen, and resident memory at
// rest, against two baselines on one Xvfb: a bare Qt window of the same size,
// and a Qt window with the same content (title, captioned buttons, a
// scene-sized picture). The programs are launched in interleaved rounds, so a
// machine that gets busier or quieter during the run weighs on all alike.
#include "ratio_reporter.h"

#include "tests/tools/xvfb.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>
#include <algorithm>
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
    long residentKiB;
};

constexpr auto kFirstFrameLimit = std::chrono::seconds(20);

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
    Launch result{shown ? std::chrono::duration<double>(Clock::now() - start).count() : -1.0, 0};
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

const Program kPrograms[] = {{"BareWindow", ZELK_BARE_WINDOW}, {"FairWindow", ZELK_FAIR_WINDOW}, {"Zelk", ZELK_PROGRAM}};
constexpr int kStartUpRounds = 15;
constexpr int kMemoryRounds = 3;

// Each program's launches, measured in interleaved rounds before the
// benchmarks report them one repetition each.
std::map<std::string, std::vector<Launch>> gStartUps, gMemory;

void measureAll() {
    for (int round = 0; round < kStartUpRounds; ++round)
        for (const Program& p : kPrograms) gStartUps[p.name].push_back(launch(p.path, false));
    for (int round = 0; round < kMemoryRounds; ++round)
        for (const Program& p : kPrograms) gMemory[p.name].push_back(launch(p.path, true));
}

void startUp(benchmark::State& state, std::string name) {
    static std::map<std::string, std::size_t> next;
    const Launch l = gStartUps.at(name).at(next[name]++ % kStartUpRounds);
    for (auto _ : state) {
        if (l.secondsToFirstFrame < 0) state.SkipWithError("no first frame within the limit");
        state.SetIterationTime(std::max(l.secondsToFirstFrame, 1e-9));
    }
}

void residentMemory(benchmark::State& state, std::string name) {
    static std::map<std::string, std::size_t> next;
    const Launch l = gMemory.at(name).at(next[name]++ % kMemoryRounds);
    for (auto _ : state) {
        if (l.residentKiB <= 0) state.SkipWithError("not measured");
        state.SetIterationTime(double(l.residentKiB) / 1e6);  // reported as "seconds": KiB / 10^6, for the ratio
    }
    state.counters["RSS_KiB"] = double(l.residentKiB);
}

}  // namespace

int main(int argc, char** argv) {
    startXvfb();
    measureAll();
    for (const Program& p : kPrograms) {
        benchmark::RegisterBenchmark(("startUp/" + std::string(p.name)).c_str(), startUp, p.name)
            ->UseManualTime()->Iterations(1)->Repetitions(kStartUpRounds)->ReportAggregatesOnly()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("residentMemory/" + std::string(p.name)).c_str(), residentMemory, p.name)
            ->UseManualTime()->Iterations(1)->Repetitions(kMemoryRounds)->ReportAggregatesOnly();
    }
    return zelk::bench::runWithRatios(
        argc, argv,
        {{"startUp/Zelk_median", "startUp/FairWindow_median", "exec to first frame / same-content Qt window", 0.9, 1.05},
         {"startUp/Zelk_median", "startUp/BareWindow_median", "exec to first frame / bare Qt window", 0.9, 1.4},
         {"residentMemory/Zelk_median", "residentMemory/FairWindow_median",
          "resident memory at rest / same-content Qt window", 0.9, 1.1},
         {"residentMemory/Zelk_median", "residentMemory/BareWindow_median", "resident memory at rest / bare Qt window",
          0.9, 1.5}});
}
