#pragma once
// What every benchmark program shares: its own options, a run of the registered benchmarks that
// keeps the median of each, and (bench_figures.h) the closing table of figures and targets.

#include <map>
#include <string>
#include <vector>

#include "bench/bench_figures.h"

namespace bench {

struct Options {
    bool smoke = false;  // --smoke: small scale, one run each, nothing judged
};

// Takes the program's own options out of argv (Google Benchmark gets the rest).
Options ParseOptions(int* argc, char** argv);

// Median (or the only run) of every benchmark, by the name it was registered under.
class Results {
  public:
    bool Has(const std::string& name) const { return seconds_.count(name) != 0; }
    // Real time per iteration, in seconds; 0 when the benchmark did not run.
    double Seconds(const std::string& name) const;
    // A counter the benchmark set (also the median of the runs); 0 when missing.
    double Counter(const std::string& name, const std::string& counter) const;

    void Set(const std::string& name, double seconds, std::map<std::string, double> counters);

  private:
    std::map<std::string, double> seconds_;
    std::map<std::string, std::map<std::string, double>> counters_;
};

// Runs the registered benchmarks (Google Benchmark's console output as usual) and returns
// their figures.
Results RunBenchmarks(int argc, char** argv);

}  // namespace bench
