#pragma once
// The closing table of every benchmark program: each figure next to its target with "met" or
// "MISSED". Standard library only, so the Windows benchmark (built without Google Benchmark)
// prints the same table.

#include <string>
#include <vector>

namespace bench {

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
