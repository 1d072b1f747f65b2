// A whole slide and a whole gallop on the offscreen window, against their
// counting alone: the pauses must set the pace, so the puts and repaints may
// add only a little. That little is too small beside the counting to show a
// put that skips its repaint, so the puts are also timed one by one against
// the repaint each must make.
#include "interleaved_rounds.h"
#include "ratio_reporter.h"
#include "thread_cpu_time.h"
#include "timed_put_form.h"

#include "runtime/form_window.h"
#include "runtime/start_up.h"
#include "executable/executable_module.h"
#include "program/form1.h"

#include "image_symbols.h"

#include <QApplication>
#include <QWindow>

#include <cstdlib>
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
    runtime_interface::FormInterface interface {};
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

// Counting and painting happen on this thread alone (the offscreen platform
// paints in-process), so its processor time is what the sequences cost.
constexpr int kRounds = 31;

void measureAll(InterleavedRounds& rounds, IdleForm& idle, TimedPutForm& timed) {
    const auto runOn = [&](int method, program::Form1& form) {
        program().project->form->callMethod(method, reinterpret_cast<std::uintptr_t>(&form));
    };
    const auto putCosts = [&](int method) {
        runOn(method, timed.form());
        const PutCosts costs = timed.takeCosts();
        return std::vector<double>{costs.puts, costs.repaints};
    };
    rounds.add("SlideCounting", [&] { return threadCpuSecondsOf([&] { runOn(0, idle.form); }); });
    rounds.add("Slide", [] { return threadCpuSecondsOf([] { program().click(0); }); });
    rounds.add({"SlidePuts", "SlideRepaints"}, [&] { return putCosts(0); });
    rounds.add("GallopCounting", [&] { return threadCpuSecondsOf([&] { runOn(1, idle.form); }); });
    rounds.add("Gallop", [] { return threadCpuSecondsOf([] { program().click(1); }); });
    rounds.add({"GallopPuts", "GallopRepaints"}, [&] { return putCosts(1); });
    rounds.run(kRounds);
}

}  // namespace

int run(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    gProgram = std::make_unique<Program>();
    IdleForm idle;
    TimedPutForm timed(*program().project->form, program().window);
    InterleavedRounds rounds;
    measureAll(rounds, idle, timed);
    rounds.registerBenchmarks(benchmark::kMillisecond);
    // A sequence costs its counting and a little more: the slide's 84 puts add
    // about a hundredth. The gallop's 273 puts and repaints add one to three
    // hundredths here, more while other work shares the memory, hence its wider
    // band; a skipped repaint shows in the puts / repaints ratios instead.
    const int rc = runWithRatios(argc,
                                 argv,
                                 {{"Slide", "SlideCounting", "slide / its counting alone", 0.97, 1.03},
                                  {"Gallop", "GallopCounting", "gallop / its counting alone", 0.97, 1.06},
                                  {"SlidePuts", "SlideRepaints", "slide's puts / their repaints alone", 0.8, 1.25},
                                  {"GallopPuts", "GallopRepaints", "gallop's puts / their repaints alone", 0.8, 1.25}});
    gProgram.reset();
    return rc;
}

}  // namespace zelk::bench

int main(int argc, char** argv) { return zelk::bench::run(argc, argv); }
