#!/usr/bin/env bash
# Runs one Windows program of a MinGW build under Wine, headless and quiet, in the build folder's
# own Wine prefix (<build>/wine-prefix, created here on first use). ctest and GoogleTest's test
# discovery call it as the cross-compiling emulator: wine-run.sh PROGRAM.exe [ARGS...].
#
# The prefix can be chosen with VLX_WINEPREFIX. scripts/test-windows.sh starts one persistent
# wineserver for a whole test run; without it, Wine starts and ends one per program.
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
    exit 2
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"
vlx_wine_env "$1"
vlx_wine_prefix_ready

# Windows programs end their lines with CR LF; ctest and GoogleTest's discovery expect LF.
set +e
"$VLX_WINE" "$@" | tr -d '\r'
status=("${PIPESTATUS[@]}")
set -e
exit "${status[0]}"
