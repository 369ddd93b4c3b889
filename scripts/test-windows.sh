#!/usr/bin/env bash
# Builds the Windows core (registry, platform, every page's records and registry layout, their
# tests) with MinGW-w64 and runs its tests under Wine against the Win32 registry and drives.
#
#   bash scripts/test-windows.sh [BUILD_DIR]      (default: build-mingw)
#
# The Wine prefix lives in BUILD_DIR/wine-prefix and is created on the first run. One wineserver
# serves the whole run and is ended at the end. The tests run one at a time: they share the
# prefix's registry, and each starts by deleting the areas it uses.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build=${1:-build-mingw}
jobs=${JOBS:-2}
build_type=${BUILD_TYPE:-RelWithDebInfo}
# One hung program must not use up a CI run.
test_timeout=${VLX_WINE_TEST_TIMEOUT:-300}

started=$(date +%s)
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE="$build_type"
cmake --build "$build" -j"$jobs"
built=$(date +%s)

# shellcheck source=wine-env.sh
source scripts/wine-env.sh
vlx_wine_env "$build/CMakeCache.txt"
vlx_wine_prefix_ready
# Keep this prefix's wineserver up for the whole run instead of one per test program, and make
# sure it is gone afterwards, also when ctest fails or is interrupted.
# A server left over from an interrupted run of this build folder goes first.
"$VLX_WINESERVER" -k >/dev/null 2>&1 || true
"$VLX_WINESERVER" -p
trap '"$VLX_WINESERVER" -k >/dev/null 2>&1 || true' EXIT
# Start Wine's background services now, detached from any pipe: started by the first test
# program they would keep its output pipe open, and ctest would wait for them forever.
"$VLX_WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1
prepared=$(date +%s)

status=0
ctest --test-dir "$build" --output-on-failure --timeout "$test_timeout" || status=$?
finished=$(date +%s)

# How many tests each Windows program holds, and how many of them failed.
failed_log="$build/Testing/Temporary/LastTestsFailed.log"
ctest --test-dir "$build" -N -V 2>/dev/null | awk -v failed_log="$failed_log" '
    BEGIN {
        while ((getline line < failed_log) > 0) {
            sub(/^[0-9]+:/, "", line); failed[line] = 1
        }
    }
    /Test command:/ {
        program = "?"
        for (i = 1; i <= NF; i++) if ($i ~ /\.exe"?$/) { program = $i; gsub(/"/, "", program) }
        n = split(program, parts, "/"); program = parts[n]
    }
    /^ *Test +#[0-9]+: / {
        name = $0; sub(/^ *Test +#[0-9]+: /, "", name)
        total[program]++; if (name in failed) bad[program]++
    }
    END {
        for (p in total) printf "  %-40s %4d tests, %d failed\n", p, total[p], bad[p] + 0
    }' | sort

echo "Windows build under Wine: build $((built - started)) s, Wine prefix $((prepared - built)) s," \
    "tests $((finished - prepared)) s"
exit "$status"
