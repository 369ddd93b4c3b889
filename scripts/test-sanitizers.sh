#!/usr/bin/env bash
# The native suite once more, built with AddressSanitizer and UndefinedBehaviorSanitizer in a
# folder of its own. Any report ends the test program that met it, so it fails the run. The
# keyboard tests under Xvfb are left out: they drive the same code as the page tests, and at
# sanitizer speed they alone would take longer than all the rest. So is the package test, which
# only checks what goes into the package.
#
#   bash scripts/test-sanitizers.sh [BUILD_DIR]      (default build-asan)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}
jobs=${JOBS:-2}
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

# -O1 and line tables only (-g1) keep the build and the run quick; reports still name the lines.
# ccache, where installed, makes a second run on the same machine quick.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" "${launcher[@]}" -DCMAKE_BUILD_TYPE=Sanitize \
    -DCMAKE_CXX_FLAGS_SANITIZE="-O1 -g1 $flags" \
    -DCMAKE_EXE_LINKER_FLAGS_SANITIZE="$flags" \
    -DCMAKE_SHARED_LINKER_FLAGS_SANITIZE="$flags" \
    -DVLX_BUILD_BENCH=OFF >/dev/null
# Only the test programs that run below (and what they need, such as the program itself for the
# import round trip): not the keyboard tests' binary, the fuzz targets or the package.
targets=$(cmake --build "$build" --target help | sed -n 's/^\.\.\. \([A-Za-z0-9_]*_tests\{0,1\}\)$/\1/p' |
    grep -vx 'e2e_tests')
# shellcheck disable=SC2086 # one word per target
cmake --build "$build" -j"$jobs" --target $targets

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# Leak checking is on; no report from Qt or the system libraries needed suppressing so far.
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" -E '^(e2e_|installed_package$)'
