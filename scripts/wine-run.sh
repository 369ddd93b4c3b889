#!/usr/bin/env bash
# Runs one Windows program of a MinGW build under Wine, headless and quiet, in the build folder's
# own Wine prefix (<build>/wine-prefix, created here on first use). ctest and GoogleTest's test
# discovery call it as the cross-compiling emulator: wine-run.sh PROGRAM.exe [ARGS...].
#
# The prefix can be chosen with VLX_WINEPREFIX. scripts/test-windows.sh starts one persistent
# wineserver for a whole test run in each prefix of VLX_WINE_PREFIXES (separated by ":") and
# runs several programs at once: each then takes a prefix no other program holds, and waits
# while all are taken. Without it, Wine starts and ends one server per program.
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
    exit 2
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"
vlx_wine_env "$1"
if [ -n "${VLX_WINE_PREFIXES:-}" ]; then
    IFS=: read -r -a free <<<"$VLX_WINE_PREFIXES"
    # This script holds the lock of the prefix it took (descriptor 8) until it ends; Wine and
    # whatever Wine starts do not get the descriptor, so nothing left running keeps the prefix.
    taken=
    until [ -n "$taken" ]; do
        for prefix in "${free[@]}"; do
            exec 8>"$prefix.run.lock"
            if flock -n 8; then
                taken=$prefix
                break
            fi
            exec 8>&-
        done
        [ -n "$taken" ] || sleep 0.1
    done
    export WINEPREFIX=$taken
fi
vlx_wine_prefix_ready

# Windows programs end their lines with CR LF; ctest and GoogleTest's discovery expect LF.
set +e
{
    "$VLX_WINE" "$@" | tr -d '\r'
    status=("${PIPESTATUS[@]}")
} 8>&-
set -e
exit "${status[0]}"
