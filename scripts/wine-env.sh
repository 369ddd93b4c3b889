# Shared by wine-run.sh and test-windows.sh (sourced, not run): the Wine settings of a build folder.

# vlx_wine_env PATH_IN_BUILD_FOLDER: sets WINEPREFIX to the prefix of the build folder holding the
# path (the nearest folder above it with a CMakeCache.txt), unless VLX_WINEPREFIX names one, and
# makes Wine headless and quiet.
vlx_wine_env() {
    local dir
    dir=$(cd "$(dirname "$1")" 2>/dev/null && pwd) || dir=$PWD
    while [ "$dir" != "/" ] && [ ! -f "$dir/CMakeCache.txt" ]; do
        dir=$(dirname "$dir")
    done
    if [ -n "${VLX_WINEPREFIX:-}" ]; then
        WINEPREFIX=$VLX_WINEPREFIX
    elif [ -f "$dir/CMakeCache.txt" ]; then
        WINEPREFIX=$dir/wine-prefix
    else
        echo "wine-run: $1 is not inside a build folder; set VLX_WINEPREFIX" >&2
        exit 2
    fi
    export WINEPREFIX
    # A build with the Qt program loads Qt's DLLs (and through them its plugins) from the Qt
    # prefix, and the MinGW runtime DLLs they need from the compiler's folders.
    local qt
    qt=$(sed -n 's/^VLX_QT_PREFIX:PATH=//p' "$dir/CMakeCache.txt" 2>/dev/null || true)
    if [ -n "$qt" ]; then
        local winepath="Z:$qt/bin" runtime
        for runtime in libstdc++-6.dll libwinpthread-1.dll; do
            winepath+=";Z:$(dirname "$(realpath -m "$(x86_64-w64-mingw32-g++-posix \
                -print-file-name=$runtime)")")"
        done
        export WINEPATH=${winepath//\//\\}
    fi
    export WINEDEBUG=-all
    # No display: nothing may open a window, and Wine must not try to reach an X server.
    unset DISPLAY WAYLAND_DISPLAY
    # No browser or .NET runtime to install, no menu entries to write.
    export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="
    export WINEARCH=win64
    # The Windows code page follows the Unix locale; pin it to the controller's Western one
    # (1252) whatever locale the machine runs in.
    export LC_ALL=C.UTF-8
    if [ -x /usr/lib/wine/wine64 ]; then
        VLX_WINE=/usr/lib/wine/wine64
        export WINELOADER=$VLX_WINE
    else
        VLX_WINE=$(command -v wine64 || command -v wine)
    fi
    if [ -x /usr/lib/wine/wineserver64 ]; then
        VLX_WINESERVER=/usr/lib/wine/wineserver64
    else
        VLX_WINESERVER=$(command -v wineserver)
    fi
    export WINESERVER=$VLX_WINESERVER
}

# Creates the prefix if it is not there yet. Several programs may start at once on a fresh
# prefix, so the first one creates it under a lock and the others wait for it.
vlx_wine_prefix_ready() {
    if [ -f "$WINEPREFIX/.vlx-ready" ]; then
        vlx_wine_fonts
        return 0
    fi
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.vlx-ready" ]; then
            rm -rf "$WINEPREFIX"
            echo "wine-run: creating the Wine prefix $WINEPREFIX" >&2
            "$VLX_WINE" wineboot --init >/dev/null 2>&1
            # wineboot returns before the prefix's registry is written out.
            "$VLX_WINESERVER" -w
            touch "$WINEPREFIX/.vlx-ready"
        fi
    ) 9>"$WINEPREFIX.lock"
    vlx_wine_fonts
}

# A fresh prefix's C:\windows\Fonts is empty (Wine's own drawing finds the machine's fonts
# without it), but Qt's offscreen platform reads its fonts from that folder: give it the
# machine's DejaVu fonts, the ones the native tests draw with.
vlx_wine_fonts() {
    local fonts=$WINEPREFIX/drive_c/windows/Fonts font
    [ -e "$fonts/DejaVuSans.ttf" ] && return 0
    mkdir -p "$fonts"
    for font in /usr/share/fonts/truetype/dejavu/*.ttf; do
        [ -e "$font" ] && ln -sf "$font" "$fonts/"
    done
    return 0
}
