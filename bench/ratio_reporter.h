#pragma once

// Prints, after the usual table, each measured benchmark against its baseline
// of the same run: the median of the ratios of their repetitions taken pair by
// pair (repetition i of one against repetition i of the other, measured in the
// same round), with the quartiles and the extremes of those ratios beside it,
// and whether the median lies in its band. A ratio too low is as wrong as one
// too high: work that is skipped looks fast.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zelk::bench {

// The quartiles of a sample, interpolated between its sorted values.
struct Spread {
    double lowest, lowerQuartile, median, upperQuartile, highest;
};

inline Spread spreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const auto at = [&](double fraction) {
        const double position = fraction * double(values.size() - 1);
        const std::size_t below = std::size_t(position);
        const std::size_t above = std::min(below + 1, values.size() - 1);
        return values[below] + (values[above] - values[below]) * (position - double(below));
    };
    return {values.front(), at(0.25), at(0.5), at(0.75), values.back()};
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Ratio {
        std::string measured, baseline, label;
        double low, high;  // the band the median ratio must lie in
    };
    explicit RatioReporter(std::vector<Ratio> ratios) : ratios_(std::move(ratios)) {}

    // Keeps every repetition's time; the table shows only the aggregates of
    // repeated benchmarks, which say more than a row per round.
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Iteration)
                repetitions_[r.run_name.function_name][r.repetition_index] =
                    r.error_occurred || r.iterations <= 0 ? NAN : r.GetAdjustedRealTime();
            if (r.run_type == Run::RT_Aggregate || r.repetitions <= 1) shown.push_back(r);
        }
        ConsoleReporter::ReportRuns(shown);
    }

    // Returns false when a ratio lies outside its band or could not be measured.
    bool printRatios() const {
        bool allMet = true;
        std::printf("\n%-52s %8s  %-17s  %-17s\n", "", "median", "quartiles", "extremes");
        for (const Ratio& r : ratios_) {
            const std::vector<double> ratios = pairedRatios(r);
            if (ratios.empty()) {
                std::printf("%-52s not measured\n", r.label.c_str());
                allMet = false;
                continue;
            }
            const Spread s = spreadOf(ratios);
            const bool met = s.median >= r.low && s.median <= r.high;
            allMet = allMet && met;
            std::printf("%-52s %8.4f  %.4f to %.4f  %.4f to %.4f  (band %.3f to %.3f, %zu rounds)%s\n",
                        r.label.c_str(),
                        s.median,
                        s.lowerQuartile,
                        s.upperQuartile,
                        s.lowest,
                        s.highest,
                        r.low,
                        r.high,
                        ratios.size(),
                        met ? "" : "  OUTSIDE");
        }
        return allMet;
    }

private:
    // Empty when either side is missing, a round failed, or the rounds do not pair.
    std::vector<double> pairedRatios(const Ratio& r) const {
        const auto m = repetitions_.find(r.measured), b = repetitions_.find(r.baseline);
        if (m == repetitions_.end() || b == repetitions_.end() || m->second.size() != b->second.size()) return {};
        std::vector<double> ratios;
        for (const auto& [round, measured] : m->second) {
            const auto baseline = b->second.find(round);
            if (baseline == b->second.end() || !(baseline->second > 0) || std::isnan(measured)) return {};
            ratios.push_back(measured / baseline->second);
        }
        return ratios;
    }

    std::vector<Ratio> ratios_;
    std::map<std::string, std::map<std::int64_t, double>> repetitions_;
};

inline int runWithRatios(int argc, char** argv, std::vector<RatioReporter::Ratio> ratios) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::move(ratios));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.printRatios() ? 0 : 1;
}

}  // namespace zelk::bench
