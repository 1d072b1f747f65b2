#pragma once

// Prints, after the usual table, each benchmark's time as a ratio against the
// baseline measured in the same run, and whether it lies in its band. A ratio
// too low is as wrong as one too high: work that is skipped looks fast.

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
        double low, high;  // the band the ratio must lie in
    };
    explicit RatioReporter(std::vector<Ratio> ratios) : ratios_(std::move(ratios)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.iterations > 0)
                seconds_[r.run_name.function_name + (r.aggregate_name.empty() ? "" : "_" + r.aggregate_name)] =
                    r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    // Returns false when a ratio lies outside its band or could not be measured.
    bool printRatios() const {
        bool allMet = true;
        std::printf("\n");
        for (const Ratio& r : ratios_) {
            const auto m = seconds_.find(r.measured), b = seconds_.find(r.baseline);
            if (m == seconds_.end() || b == seconds_.end() || b->second <= 0) {
                std::printf("%-48s not measured\n", r.label.c_str());
                allMet = false;
                continue;
            }
            const double ratio = m->second / b->second;
            const bool met = ratio >= r.low && ratio <= r.high;
            allMet = allMet && met;
            std::printf("%-48s %.4f  (band %.2f to %.2f)%s\n", r.label.c_str(), ratio, r.low, r.high,
                        met ? "" : "  OUTSIDE");
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
    return reporter.printRatios() ? 0 : 1;
}

}  // namespace zelk::bench
