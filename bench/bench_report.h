#pragma once
// What every benchmark program shares: its own options, a run of the registered benchmarks that
// keeps the median of each, and the closing table that prints each figure next to its target.

#include <map>
#include <string>
#include <vector>

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

struct Figure {
    std::string name;
    std::string measured;  // with its unit
    std::string target;    // empty: shown for information
    bool met = true;
};

std::string Milliseconds(double seconds);
std::string Fixed(double value, int decimals, const std::string& unit);

// Prints the table; in a smoke run the verdicts are left out. Returns the number of targets
// missed (0 in a smoke run).
int PrintFigures(const std::string& title, const std::vector<Figure>& figures, bool smoke);

}  // namespace bench
