#!/usr/bin/env bash
# Wine's registry editor for the import round trip, in the prefix VLX_WINEPREFIX (created on first
# use, headless and quiet as for the Windows tests):
#   wine-regedit.sh start              persistent wineserver and Wine's services, started detached
#   wine-regedit.sh import FILE        regedit /s FILE
#   wine-regedit.sh export FILE KEY    regedit /e FILE KEY
#   wine-regedit.sh stop               ends this prefix's wineserver
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)
# shellcheck source=../../scripts/wine-env.sh
source "$here/wine-env.sh"
if [ -z "${VLX_WINEPREFIX:-}" ]; then
    echo "wine-regedit: set VLX_WINEPREFIX" >&2
    exit 2
fi
vlx_wine_env /

# Wine's drive Z: is the Unix root.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

case "${1:-}" in
    start)
        vlx_wine_prefix_ready
        "$VLX_WINESERVER" -k >/dev/null 2>&1 || true
        "$VLX_WINESERVER" -p
        "$VLX_WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1
        ;;
    import)
        "$VLX_WINE" regedit /s "$(windows_path "$2")"
        ;;
    export)
        rm -f "$2"
        "$VLX_WINE" regedit /e "$(windows_path "$2")" "$3"
        test -s "$2"
        ;;
    stop)
        "$VLX_WINESERVER" -k >/dev/null 2>&1 || true
        ;;
    *)
        echo "usage: $0 start|import FILE|export FILE KEY|stop" >&2
        exit 2
        ;;
esac
