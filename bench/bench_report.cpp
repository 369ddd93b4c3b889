#include "bench/bench_report.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>

namespace bench {

namespace {

// Google Benchmark's console output, keeping the median of every benchmark as well.
class KeepingReporter : public benchmark::ConsoleReporter {
  public:
    explicit KeepingReporter(Results* results)
        : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular),
          results_(results) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const std::string name = run.run_name.function_name;
            // A single run stands for itself; with repetitions the median replaces it.
            if (!median && (run.run_type != Run::RT_Iteration || seen_median_.count(name)))
                continue;
            if (run.error_occurred)
                continue;
            if (median)
                seen_median_[name] = true;
            std::map<std::string, double> counters;
            for (const auto& [key, counter] : run.counters)
                counters[key] = counter.value;
            results_->Set(
                name, run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit),
                std::move(counters));
        }
    }

  private:
    Results* results_;
    std::map<std::string, bool> seen_median_;
};

}  // namespace

Options ParseOptions(int* argc, char** argv) {
    Options options;
    int out = 1;
    for (int i = 1; i < *argc; ++i) {
        if (std::strcmp(argv[i], "--smoke") == 0)
            options.smoke = true;
        else
            argv[out++] = argv[i];
    }
    *argc = out;
    return options;
}

double Results::Seconds(const std::string& name) const {
    auto it = seconds_.find(name);
    return it == seconds_.end() ? 0.0 : it->second;
}

double Results::Counter(const std::string& name, const std::string& counter) const {
    auto it = counters_.find(name);
    if (it == counters_.end())
        return 0.0;
    auto c = it->second.find(counter);
    return c == it->second.end() ? 0.0 : c->second;
}

void Results::Set(const std::string& name, double seconds, std::map<std::string, double> counters) {
    seconds_[name] = seconds;
    counters_[name] = std::move(counters);
}

Results RunBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Results results;
    KeepingReporter reporter(&results);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return results;
}

}  // namespace bench
