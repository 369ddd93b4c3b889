#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer on) in
# a folder of their own and runs each for a while, starting from the seed corpus in the repo.
# Inputs the fuzzer finds interesting are kept in the build folder's corpora, so a later run goes
# on from there; a crash is saved as crash-* in the build folder and fails the run.
#
#   bash scripts/test-fuzz.sh [SECONDS_PER_TARGET] [BUILD_DIR]     (default 60, build-fuzz)
#   FUZZ_JOBS=2 bash scripts/test-fuzz.sh 3600                     (two fuzzing processes each)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${2:-build-fuzz}
jobs=${JOBS:-2}
fuzz_jobs=${FUZZ_JOBS:-1}
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer"

CXX=clang++ CC=clang cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Fuzz \
    -DCMAKE_CXX_FLAGS_FUZZ="-O1 -g $flags" -DCMAKE_EXE_LINKER_FLAGS_FUZZ="$flags" \
    -DVLX_BUILD_GUI=OFF -DVLX_BUILD_TESTS=OFF -DVLX_BUILD_BENCH=OFF -DVLX_BUILD_FUZZ=ON >/dev/null
cmake --build "$build" -j"$jobs" --target fuzz_reg_text fuzz_file_store

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
here=$(pwd)
status=0
for target in fuzz_reg_text fuzz_file_store; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    echo "== $target for ${seconds} s"
    # The file store's inputs are call sequences; long ones only repeat what short ones find.
    max_len=$([ "$target" = fuzz_file_store ] && echo 2048 || echo 65536)
    parallel=()
    [ "$fuzz_jobs" -gt 1 ] && parallel=(-jobs="$fuzz_jobs" -workers="$fuzz_jobs")
    if ! (cd "$build" && "tests/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" \
            -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 "${parallel[@]}" \
            "corpus/$target" "$here/tests/fuzz/corpus/$target" \
            > "$target.log" 2>&1); then
        tail -n 60 "$build/$target.log"
        for log in "$build"/fuzz-*.log; do [ -e "$log" ] && tail -n 60 "$log"; done
        status=1
    else
        grep -E "^(stat::number_of_executed_runs|cov:|#[0-9]+.*DONE)" "$build/$target.log" | tail -n 3 || true
    fi
done
exit $status
