#pragma once

// Prints, after the usual table, each benchmark's time as a ratio against the
// baseline measured in the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zelk::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Ratio {
        std::string measured, baseline, label;
        double goal;
    };
    explicit RatioReporter(std::vector<Ratio> ratios) : ratios_(std::move(ratios)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.iterations > 0)
                seconds_[r.run_name.function_name + (r.aggregate_name.empty() ? "" : "_" + r.aggregate_name)] =
                    r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    // Returns false when a ratio misses its goal.
    bool printRatios() const {
        bool allMet = true;
        std::printf("\n");
        for (const Ratio& r : ratios_) {
            const auto m = seconds_.find(r.measured), b = seconds_.find(r.baseline);
            if (m == seconds_.end() || b == seconds_.end() || b->second <= 0) continue;
            const double ratio = m->second / b->second;
            const bool met = ratio <= r.goal;
            allMet = allMet && met;
            std::printf("%-48s %.4f  (goal <= %.2f)%s\n", r.label.c_str(), ratio, r.goal, met ? "" : "  MISSED");
        }
        return allMet;
    }

private:
    std::vector<Ratio> ratios_;
    std::map<std::string, double> seconds_;
};

inline int runWithRatios(int argc, char** argv, std::vector<RatioReporter::Ratio> ratios) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::move(ratios));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.printRatios();
    return 0;
}

}  // namespace zelk::bench
