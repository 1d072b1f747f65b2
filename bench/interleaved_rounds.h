#pragma once

// Measures several contenders in rounds, one measurement of each per round,
// so that a machine that gets busier or quieter during the run weighs on all
// alike; each round's measured against its baseline then gives one ratio. The
// order is turned round every other round, so no contender always comes first
// or always follows the same one. Google Benchmark then reports each round as
// one repetition.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zelk::bench {

class InterleavedRounds {
public:
    // `measureOnce` returns one round's value in seconds, or a negative value
    // when the round could not be measured.
    void add(std::string name, std::function<double()> measureOnce) {
        add({std::move(name)}, [measureOnce = std::move(measureOnce)] { return std::vector<double>{measureOnce()}; });
    }

    // A contender whose one run yields several values, one for each name.
    void add(std::vector<std::string> names, std::function<std::vector<double>()> measureOnce) {
        contenders_.push_back({std::move(names), std::move(measureOnce)});
    }

    // The warm-up rounds run first and are not kept: the first runs pay for
    // what is made once and kept (pictures decoded, pages faulted in).
    void run(int rounds, int warmUpRounds = 1) {
        for (int round = -warmUpRounds; round < rounds; ++round) {
            const bool reversed = (round + warmUpRounds) % 2 == 1;
            for (std::size_t i = 0; i < contenders_.size(); ++i) {
                Contender& c = contenders_[reversed ? contenders_.size() - 1 - i : i];
                const std::vector<double> values = c.measureOnce();
                if (round < 0) continue;
                for (std::size_t v = 0; v < c.names.size(); ++v) values_[c.names[v]].push_back(values.at(v));
            }
        }
    }

    // One benchmark per contender, each round one repetition of it. A counter,
    // when named, shows the round's value times `counterScale` beside it.
    void registerBenchmarks(benchmark::TimeUnit unit, const std::string& counterName = {},
                            double counterScale = 1) const {
        for (const Contender& c : contenders_)
            for (const std::string& name : c.names)
                registerBenchmark(name, values_.at(name), unit, counterName, counterScale);
    }

private:
    struct Contender {
        std::vector<std::string> names;
        std::function<std::vector<double>()> measureOnce;
    };

    static void registerBenchmark(const std::string& name, std::vector<double> values, benchmark::TimeUnit unit,
                                  const std::string& counterName, double counterScale) {
        const int repetitions = int(values.size());
        auto next = std::make_shared<std::size_t>(0);  // which round this repetition reports
        const auto reportRound =
            [values = std::move(values), next, counterName, counterScale](benchmark::State& state) {
                const double value = values.at((*next)++ % values.size());
                for (auto _ : state) {
                    if (value < 0) state.SkipWithError("not measured");
                    state.SetIterationTime(value < 0 ? 1e-9 : value);
                }
                if (!counterName.empty()) state.counters[counterName] = value * counterScale;
            };
        benchmark::RegisterBenchmark(name.c_str(), reportRound)
            ->UseManualTime()
            ->Iterations(1)
            ->Repetitions(repetitions)
            ->Unit(unit);
    }

    std::vector<Contender> contenders_;
    std::map<std::string, std::vector<double>> values_;
};

}  // namespace zelk::bench
