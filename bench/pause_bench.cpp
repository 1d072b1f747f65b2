// BusyPause against a bare volatile counting loop of the same length.
#include "ratio_reporter.h"

#include "program/form1.h"
#include "program/handler_frame.h"

#include "executable/executable_module.h"
#include "runtime/process.h"

namespace zelk::bench {
namespace {

constexpr std::int32_t kLimit = zelk::program::kSlidePause;

void BareCount(benchmark::State& state) {
    volatile std::int32_t count = 0;
    for (auto _ : state) {
        count = 1;
        while (count <= kLimit) count = count + 1;
    }
    state.SetItemsProcessed(state.iterations() * kLimit);
}

void BusyPause(benchmark::State& state) {
    zelk::runtime::Process process(zelk::executable::loadedModule());
    zelk::program::Form1 form{};
    for (auto _ : state) zelk::program::BusyPause(&form, kLimit);
    state.SetItemsProcessed(state.iterations() * kLimit);
}

BENCHMARK(BareCount)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BusyPause)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
}  // namespace zelk::bench

int main(int argc, char** argv) {
    return zelk::bench::runWithRatios(argc, argv, {{"BusyPause", "BareCount", "BusyPause per pass / bare loop", 0.9, 1.05}});
}
