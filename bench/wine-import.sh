#!/usr/bin/env bash
# Wine's registry editor for the store benchmark: prepares a Wine prefix of its own, imports a
# .reg file silently, and ends the prefix's wineserver.
#
#   wine-import.sh prepare PREFIX     create the prefix (once) and start a persistent wineserver
#   wine-import.sh import PREFIX FILE regedit /s FILE (the benchmark times this step)
#   wine-import.sh stop PREFIX        end the wineserver
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../scripts/wine-env.sh
source "$here/../scripts/wine-env.sh"
step=$1
export VLX_WINEPREFIX=$2
vlx_wine_env "$VLX_WINEPREFIX"

case $step in
    prepare)
        vlx_wine_prefix_ready
        "$VLX_WINESERVER" -k >/dev/null 2>&1 || true
        "$VLX_WINESERVER" -p
        # Wine's background services start now, not inside the timed import.
        "$VLX_WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1
        ;;
    import)
        "$VLX_WINE" regedit /s "Z:$(echo "$3" | tr / '\\')" </dev/null
        ;;
    stop)
        "$VLX_WINESERVER" -k >/dev/null 2>&1 || true
        ;;
    *)
        echo "usage: $0 prepare|import|stop PREFIX [FILE]" >&2
        exit 2
        ;;
esac
