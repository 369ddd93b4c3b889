// vlx_genconfig: writes the benchmarks' large controller configuration as a .reg file.
//
//   vlx_genconfig [--scale N] [--format 4|5] FILE
//
// --format 4 writes "REGEDIT4" (8-bit, the default), 5 "Windows Registry Editor Version 5.00"
// (UTF-16LE with byte-order mark).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "bench/config_generator.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: vlx_genconfig [--scale N] [--format 4|5] FILE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    double scale = 1;
    registry::RegFileFormat format;
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            scale = std::atof(argv[++i]);
            if (!(scale > 0))
                return Usage();
        } else if (std::strcmp(argv[i], "--format") == 0 && i + 1 < argc) {
            const std::string f = argv[++i];
            if (f != "4" && f != "5")
                return Usage();
            format = f == "5" ? registry::RegFileFormat{true, true} : registry::RegFileFormat{};
        } else if (file == nullptr && argv[i][0] != '-') {
            file = argv[i];
        } else {
            return Usage();
        }
    }
    if (file == nullptr)
        return Usage();
    const bench::GeneratedConfiguration config = bench::GenerateConfiguration(scale, format);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(config.bytes.data(), static_cast<std::streamsize>(config.bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "vlx_genconfig: cannot write %s\n", file);
        return 1;
    }
    std::printf("%s: scale %g, %zu bytes, %zu keys, %zu values\n", file, scale, config.bytes.size(),
                config.keys, config.values);
    return 0;
}
