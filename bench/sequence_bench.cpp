// A whole slide and a whole gallop on the offscreen window, against their
// counting alone: what the puts and repaints add.
#include "ratio_reporter.h"

#include "runtime/form_window.h"
#include "runtime/start_up.h"
#include "executable/executable_module.h"
#include "program/form1.h"

#include "image_symbols.h"

#include <QApplication>
#include <QWindow>

#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>
#include <memory>

namespace zelk::bench {
namespace {


struct Program {
    runtime::Process process{executable::loadedModule()};
    std::unique_ptr<runtime::StartedProject> project = runtime::startProject(process, image_symbols::kProjectHeader);
    runtime::FormWindow window{*project->form};

    Program() {
        window.show();
        while (!window.windowHandle()->isExposed()) QApplication::processEvents();
    }
    void click(int method) {
        project->form->callMethod(method, reinterpret_cast<std::uintptr_t>(project->form->object()));
    }
};

std::unique_ptr<Program> gProgram;  // lives inside main, with the QApplication
Program& program() { return *gProgram; }

// The same handlers on a form whose pictures do nothing: their counting alone.
class IdleControl final : public runtime_interface::ImageControlInterface {
public:
    std::uint32_t AddRef() override { return 2; }
    std::uint32_t Release() override { return 1; }
    std::int32_t putVisible(std::int16_t) override { return 0; }
    std::int32_t putLeft(float) override { return 0; }
};

struct IdleForm {
    IdleControl control;
    runtime_interface::FormInterface interface{};
    program::Form1 form{};
    IdleForm() {
        interface.AddRef = [](void*) -> std::uint32_t { return 2; };
        interface.Release = [](void*) -> std::uint32_t { return 1; };
        for (auto& accessor : interface.imageAccessors)
            accessor = [](void* f) -> runtime_interface::ImageControlInterface* {
                return &static_cast<IdleForm*>(static_cast<program::Form1*>(f)->runtimeState.owner)->control;
            };
        form.interfaceTable = &interface;
        form.runtimeState.owner = this;
    }
};

// Each sequence runs in rounds, its counting alone and then the real one, so a
// machine that gets busier or quieter weighs on both alike; the benchmarks
// then report the rounds.
constexpr int kRounds = 15;
std::map<std::string, std::vector<double>> gSeconds;

template <class F>
double seconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void measureAll() {
    IdleForm idle;
    const auto counting = [&](int method) {
        program().project->form->callMethod(method, reinterpret_cast<std::uintptr_t>(&idle.form));
    };
    for (int round = 0; round < kRounds; ++round) {
        gSeconds["SlideCounting"].push_back(seconds([&] { counting(0); }));
        gSeconds["Slide"].push_back(seconds([] { program().click(0); }));
        gSeconds["GallopCounting"].push_back(seconds([&] { counting(1); }));
        gSeconds["Gallop"].push_back(seconds([] { program().click(1); }));
    }
}

void report(benchmark::State& state, std::string name) {
    static std::map<std::string, std::size_t> next;
    const double s = gSeconds.at(name).at(next[name]++ % kRounds);
    for (auto _ : state) state.SetIterationTime(s);
}

}  // namespace

int run(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    gProgram = std::make_unique<Program>();
    measureAll();
    for (const char* name : {"SlideCounting", "Slide", "GallopCounting", "Gallop"})
        benchmark::RegisterBenchmark(name, report, std::string(name))
            ->UseManualTime()->Iterations(1)->Repetitions(kRounds)->ReportAggregatesOnly()
            ->Unit(benchmark::kMillisecond);
    const int rc = runWithRatios(argc, argv,
                                        {{"Slide_median", "SlideCounting_median", "slide / its counting alone", 0.97, 1.03},
                                         {"Gallop_median", "GallopCounting_median", "gallop / its counting alone", 0.97, 1.03}});
    gProgram.reset();
    return rc;
}

}  // namespace zelk::bench

int main(int argc, char** argv) { return zelk::bench::run(argc, argv); }
