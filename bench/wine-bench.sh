#!/usr/bin/env bash
# The Windows benchmark under Wine (part of `make bench`): for each scale, a Wine prefix of its
# own holding the generated configuration in the 32-bit registry view the program uses, then
# vlx_winbench.exe in it (start-up and "&Apply" of each page, each in a fresh process). The
# import (about 15 s at scale 1 with Wine's regedit) happens once: the prefix is kept in the
# build folder, stamped with the scale and the checksum of the file it holds, and made again
# when the generator writes another file.
#
#   wine-bench.sh NATIVE_BUILD WINDOWS_BUILD
#
# VLX_WINBENCH_SCALES (default "1 2"; each one double the one before) and VLX_WINBENCH_RUNS
# (default 3) choose the work. The exit code is 0 when every figure met its target, 3 when one
# missed, 1 when a step failed.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
native=$(realpath "$1")
win=$(realpath "$2")
scales=${VLX_WINBENCH_SCALES:-1 2}
runs=${VLX_WINBENCH_RUNS:-3}
genconfig=$native/bench/vlx_genconfig
program=$win/bench/vlx_winbench.exe
for need in "$genconfig" "$program"; do
    [ -x "$need" ] || { echo "wine-bench: $need is missing (build it first)" >&2; exit 1; }
done

# shellcheck source=../scripts/wine-env.sh
source "$here/../scripts/wine-env.sh"
winpath() { echo "Z:$1" | tr / '\\'; }

status=0
previous=
for scale in $scales; do
    export VLX_WINEPREFIX=$win/wine-bench-scale$scale
    vlx_wine_env "$win/CMakeCache.txt"
    config=$win/wine-bench-scale$scale.reg
    "$genconfig" --scale "$scale" "$config.native" >/dev/null
    # The program reads and writes the 32-bit view: in a 64-bit prefix, HKEY_LOCAL_MACHINE\
    # Software of a 32-bit program is Software\WOW6432Node.
    sed 's/^\(\[-\?HKEY_LOCAL_MACHINE\\Software\\\)/\1WOW6432Node\\/' "$config.native" >"$config"
    rm -f "$config.native"
    stamp="scale $scale, $(sha256sum "$config" | cut -d' ' -f1)"
    if [ "$(cat "$WINEPREFIX/.vlx-bench-config" 2>/dev/null)" != "$stamp" ]; then
        rm -rf "$WINEPREFIX"
        vlx_wine_prefix_ready
        echo "wine-bench: importing scale $scale into $WINEPREFIX (once; kept for later runs)"
        started=$(date +%s)
        "$VLX_WINE" regedit /s "$(winpath "$config")" </dev/null
        "$VLX_WINESERVER" -w
        echo "wine-bench: imported in $(($(date +%s) - started)) s"
        echo "$stamp" >"$WINEPREFIX/.vlx-bench-config"
    fi
    vlx_wine_prefix_ready
    # Journals and backups of earlier runs' "&Apply" would be listed at every start.
    rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/VlxConfigurator
    "$VLX_WINESERVER" -k >/dev/null 2>&1 || true
    "$VLX_WINESERVER" -p
    # Wine's background services start now, not inside the first timed start-up.
    "$VLX_WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1
    mb=$(awk -v b="$(stat -c %s "$config")" 'BEGIN { printf "%.1f", b / 1e6 }')
    args=(--runs "$runs" --name "scale:$scale ($mb MB)" --results "$(winpath "$config.medians")")
    [ -n "$previous" ] && args+=(--previous "$(winpath "$previous")")
    set +e
    "$VLX_WINE" "$program" "${args[@]}" </dev/null | tr -d '\r'
    code=${PIPESTATUS[0]}
    set -e
    "$VLX_WINESERVER" -k >/dev/null 2>&1 || true
    if [ "$code" -ne 0 ]; then
        [ "$code" -eq 3 ] && [ "$status" -ne 1 ] && status=3 || status=1
    fi
    previous=$config.medians
done
exit $status
