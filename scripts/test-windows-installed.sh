#!/usr/bin/env bash
# The Windows program as a person gets it, under Wine: packages the MinGW build (folder, zip,
# installer) and runs tests/e2e/windows (InstalledOnWine.*) under Xvfb, in a fresh Wine prefix
# inside the package folder.
#
#   bash scripts/test-windows-installed.sh [NATIVE_BUILD [MINGW_BUILD]]   (build, build-mingw)
#
# The MinGW build must hold vlxconfigurator.exe (scripts/test-windows.sh builds it); the native
# build gives the test program. VLX_WINDOWS_SCREENSHOT=FILE.png also captures the main window;
# VLX_WINDOWS_E2E_FILTER chooses the tests (a GoogleTest filter).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

native=${1:-build}
mingw=${2:-build-mingw}
jobs=${JOBS:-2}
# The whole run takes about four minutes; a hung program must not use up a CI run.
limit=${VLX_WINDOWS_E2E_TIMEOUT:-1200}

started=$(date +%s)
bash scripts/package-windows.sh "$mingw"
packaged=$(date +%s)
cmake --build "$native" -j"$jobs" --target e2e_tests
built=$(date +%s)

package=$(cd "$mingw/package" && pwd)
status=0
VLX_WINDOWS_PACKAGE=$package timeout -k 10 "$limit" \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$native/tests/e2e/e2e_tests" \
    --gtest_filter="${VLX_WINDOWS_E2E_FILTER:-InstalledOnWine.*}" || status=$?
ended=$(date +%s)
echo "Windows package $((packaged - started)) s, test program $((built - packaged)) s," \
    "installed program under Wine $((ended - built)) s"
exit $status
