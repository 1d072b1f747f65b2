// BusyPause against its loop written out here: the same passes on a counter in
// memory like the form's field. Both compile to the same loop, so the ratio
// sits at 1; a pause that skips or folds passes falls far below, one that adds
// work per pass lies above.
#include "interleaved_rounds.h"
#include "ratio_reporter.h"
#include "thread_cpu_time.h"

#include "program/form1.h"
#include "program/handler_frame.h"

#include "executable/executable_module.h"
#include "runtime/process.h"

#include <memory>

namespace zelk::bench {
namespace {

constexpr std::int32_t kLimit = program::kSlidePause;
constexpr int kPausesPerRound = 2;
constexpr int kRounds = 61;

// What each pass must do and nothing more: one read of the counter, the
// comparison with the limit, an addition tested for overflow, one store. Both
// loops start a cache line, so where the code lies weighs on neither.
[[gnu::noinline, gnu::aligned(64)]] void countPasses(program::Form1* form) {
    volatile std::int32_t& count = form->PauseCount;
    count = 1;
    for (;;) {
        const std::int32_t current = count;
        if (current > kLimit) return;
        std::int32_t next;
        if (__builtin_add_overflow(current, 1, &next)) program::imported<formats::Import::__vbaErrorOverflow>()();
        count = next;
    }
}

[[gnu::noinline, gnu::aligned(64)]] void pause(program::Form1* form) { program::BusyPause(form, kLimit); }

template <class Pause>
double secondsOfPauses(Pause&& onePause) {
    return threadCpuSecondsOf([&] {
        for (int i = 0; i < kPausesPerRound; ++i) onePause();
    });
}

}  // namespace

int run(int argc, char** argv) {
    runtime::Process process(executable::loadedModule());  // the import the overflow test would call
    // Both counters live on the heap, as the form the runtime makes does.
    const auto pausedForm = std::make_unique<program::Form1>();
    const auto countedForm = std::make_unique<program::Form1>();

    InterleavedRounds rounds;
    rounds.add("CountPasses", [&] { return secondsOfPauses([&] { countPasses(countedForm.get()); }); });
    rounds.add("BusyPause", [&] { return secondsOfPauses([&] { pause(pausedForm.get()); }); });
    rounds.run(kRounds);
    rounds.registerBenchmarks(benchmark::kMillisecond);
    return runWithRatios(
        argc, argv, {{"BusyPause", "CountPasses", "BusyPause / the same passes written out", 0.95, 1.05}});
}

}  // namespace zelk::bench

int main(int argc, char** argv) { return zelk::bench::run(argc, argv); }
