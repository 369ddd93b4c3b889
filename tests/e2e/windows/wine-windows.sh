#!/usr/bin/env bash
# Wine for the installed-program tests, in the prefix VLX_WINEPREFIX (64-bit and quiet as for the
# Windows tests, but on the X display DISPLAY):
#   wine-windows.sh fresh                 a new, empty prefix; a persistent wineserver for it
#   wine-windows.sh import FILE           regedit /s FILE
#   wine-windows.sh export FILE KEY       regedit /e FILE KEY
#   wine-windows.sh install SETUP         SETUP /S; its exit code
#   wine-windows.sh uninstall UNINSTALLER UNINSTALLER /S, waiting (60 s at most) for its copy
#                                         in the temporary folder to end
#   wine-windows.sh run PROGRAM [ARGS]    PROGRAM on the display DISPLAY (replaces this shell)
#   wine-windows.sh deny-write KEY...     standard-user rights on each key's tree (see below)
#   wine-windows.sh unix-path WINPATH     the Unix path of a Windows path
#   wine-windows.sh stop                  ends this prefix's wineserver
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts=$(cd "$here/../../../scripts" && pwd)
# shellcheck source=../../../scripts/wine-env.sh
source "$scripts/wine-env.sh"
if [ -z "${VLX_WINEPREFIX:-}" ]; then
    echo "wine-windows: set VLX_WINEPREFIX" >&2
    exit 2
fi
display=${DISPLAY:-}
vlx_wine_env /
# Every program of the prefix on the display: the first one that makes a window starts the
# prefix's desktop, and one started without a display would keep every later window off screen.
export DISPLAY=$display

# Wine's drive Z: is the Unix root.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

case "${1:-}" in
    fresh)
        "$VLX_WINESERVER" -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
        vlx_wine_prefix_ready
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
    install)
        "$VLX_WINE" "$2" /S
        ;;
    uninstall)
        # The uninstaller copies itself to the temporary folder (~nsuN.tmp\Un.exe), starts the
        # copy and ends at once; the copy, a process of this prefix, does the work.
        "$VLX_WINE" "$2" /S
        for _ in $(seq 600); do
            running=0
            for pid in $(pgrep -f '~nsu.*\.tmp\\Un\.exe' || true); do
                tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
                    running=1
            done
            [ $running = 1 ] || exit 0
            sleep 0.1
        done
        echo "wine-windows: the uninstaller did not end within 60 s" >&2
        exit 1
        ;;
    run)
        shift
        # VLX_WINEDEBUG=+loaddll lists the DLLs the program loads.
        export WINEDEBUG=${VLX_WINEDEBUG:--all}
        exec "$VLX_WINE" "$@"
        ;;
    deny-write)
        # Windows gives a standard user read access to HKEY_LOCAL_MACHINE\Software and no more;
        # Wine runs every program as an administrator. A DACL granting everyone read access only,
        # set on every key of each tree, makes Wine refuse writes there as Windows does.
        shift
        exe=$WINEPREFIX/drive_c/vlx-deny-write.exe
        if [ ! -f "$exe" ]; then
            x86_64-w64-mingw32-gcc-posix -O1 -municode -o "$exe" "$here/deny_write.c" -ladvapi32
        fi
        "$VLX_WINE" "$exe" "$@"
        ;;
    unix-path)
        "$VLX_WINE" winepath -u "$2" 2>/dev/null
        ;;
    stop)
        "$VLX_WINESERVER" -k >/dev/null 2>&1 || true
        ;;
    *)
        echo "usage: $0 fresh|import FILE|export FILE KEY|install SETUP|uninstall PROGRAM|run PROGRAM [ARGS]|deny-write KEY...|unix-path PATH|stop" >&2
        exit 2
        ;;
esac
