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

#include <cstdlib>
#include <memory>

namespace {

using namespace zelk;

struct Program {
    rt::Process process{executable::loadedModule()};
    std::unique_ptr<rt::StartedProject> project = rt::startProject(process, image_symbols::kProjectHeader);
    rt::FormWindow window{*project->form};

    Program() {
        window.show();
        while (!window.windowHandle()->isExposed()) QApplication::processEvents();
    }
    void click(int method) {
        process.callEntry(project->binding.methods.at(method), reinterpret_cast<std::uintptr_t>(project->form->object()));
    }
};

std::unique_ptr<Program> gProgram;  // lives inside main, with the QApplication
Program& program() { return *gProgram; }

// The same handlers on a form whose pictures do nothing: their counting alone.
class IdleControl final : public vb::ImageControlInterface {
public:
    std::uint32_t AddRef() override { return 2; }
    std::uint32_t Release() override { return 1; }
    std::int32_t putVisible(std::int16_t) override { return 0; }
    std::int32_t putLeft(float) override { return 0; }
};

struct IdleForm {
    IdleControl control;
    rt::FormInterface interface{};
    form1::Form1 form{};
    IdleForm() {
        interface.AddRef = [](void*) -> std::uint32_t { return 2; };
        interface.Release = [](void*) -> std::uint32_t { return 1; };
        for (auto& accessor : interface.imageAccessors)
            accessor = [](void* f) -> vb::ImageControlInterface* {
                return &static_cast<IdleForm*>(static_cast<form1::Form1*>(f)->runtimeState.owner)->control;
            };
        form.interfaceTable = &interface;
        form.runtimeState.owner = this;
    }
};

void counting(benchmark::State& state, int method) {
    IdleForm idle;
    for (auto _ : state)
        program().process.callEntry(program().project->binding.methods.at(method), reinterpret_cast<std::uintptr_t>(&idle.form));
}

void SlideCounting(benchmark::State& state) { counting(state, 0); }
void GallopCounting(benchmark::State& state) { counting(state, 1); }
void Slide(benchmark::State& state) {
    for (auto _ : state) program().click(0);
}
void Gallop(benchmark::State& state) {
    for (auto _ : state) program().click(1);
}

BENCHMARK(SlideCounting)->Unit(benchmark::kMillisecond)->Iterations(8)->Repetitions(3)->ReportAggregatesOnly();
BENCHMARK(Slide)->Unit(benchmark::kMillisecond)->Iterations(8)->Repetitions(3)->ReportAggregatesOnly();
BENCHMARK(GallopCounting)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->ReportAggregatesOnly();
BENCHMARK(Gallop)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    gProgram = std::make_unique<Program>();
    const int rc = bench::runWithRatios(argc, argv,
                                        {{"Slide_median", "SlideCounting_median", "slide / its counting alone", 0.97, 1.03},
                                         {"Gallop_median", "GallopCounting_median", "gallop / its counting alone", 0.97, 1.03}});
    gProgram.reset();
    return rc;
}
