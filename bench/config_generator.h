#pragma once
// A large controller configuration for benchmarks: every registry area the nine pages load,
// filled to a size that grows with `scale`, the registry source picker's browse roots, and
// unrelated data elsewhere under HKEY_LOCAL_MACHINE as a real export of a controller carries.
// Deterministic: the same scale and format always give the same bytes.
//
// Scale 1 holds 5 display levels with all 13 columns; 2,000 filters and 5 level lists of all of
// them; methods 1 to 89 and 90 to 99; 2,000 templates and 500 template directories of 50
// templates; a predefined tree of 5,000 nodes; 50 system types of 200 files and 500 watched
// paths; 500 archive path names of 10 paths; 500 archive configurations of 50 registry and 100
// file sources; 50 comparison criteria; 20,000 further keys below the maker's key; 200,000
// unrelated values. Every count but the levels, columns and methods grows with the scale
// (fractions give smaller files, at least one of each). Names
// and texts stay within what the pages read (49 characters for names read as value names, 99
// for key names and texts).

#include <cstddef>
#include <string>

#include "registry/reg_text.h"

namespace bench {

struct GeneratedConfiguration {
    std::string bytes;  // the .reg file
    size_t keys = 0;    // keys written, roots not counted
    size_t values = 0;
};

GeneratedConfiguration GenerateConfiguration(double scale, const registry::RegFileFormat& format);

}  // namespace bench
