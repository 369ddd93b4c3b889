#include "bench/bench_figures.h"

#include <algorithm>
#include <cstdio>

namespace bench {

std::string Fixed(double value, int decimals, const std::string& unit) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return unit.empty() ? std::string(buffer) : std::string(buffer) + " " + unit;
}

std::string Milliseconds(double seconds) {
    return Fixed(seconds * 1000.0, seconds < 0.01 ? 2 : 1, "ms");
}

int PrintFigures(const std::string& title, const std::vector<Figure>& figures, bool smoke) {
    size_t nameWidth = 6, measuredWidth = 8, targetWidth = 6;
    for (const Figure& f : figures) {
        nameWidth = std::max(nameWidth, f.name.size());
        measuredWidth = std::max(measuredWidth, f.measured.size());
        targetWidth = std::max(targetWidth, f.target.size());
    }
    std::printf("\n%s%s\n", title.c_str(),
                smoke ? " (smoke run at a small scale: not judged)" : "");
    std::printf("%-*s  %*s  %-*s  %s\n", static_cast<int>(nameWidth), "Figure",
                static_cast<int>(measuredWidth), "Measured", static_cast<int>(targetWidth),
                "Target", smoke ? "" : "Result");
    int missed = 0;
    for (const Figure& f : figures) {
        const char* verdict = "";
        if (!smoke && !f.target.empty()) {
            verdict = f.met ? "met" : "MISSED";
            missed += f.met ? 0 : 1;
        }
        std::printf("%-*s  %*s  %-*s  %s\n", static_cast<int>(nameWidth), f.name.c_str(),
                    static_cast<int>(measuredWidth), f.measured.c_str(),
                    static_cast<int>(targetWidth), f.target.c_str(), verdict);
    }
    std::fflush(stdout);
    return missed;
}

}  // namespace bench
