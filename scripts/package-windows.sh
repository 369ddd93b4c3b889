#!/usr/bin/env bash
# Packages the cross-built Windows program: a folder holding the program, the Qt DLLs and plugins
# it loads and the MinGW runtime DLLs they need, a portable zip of that folder, and an installer
# made with NSIS.
#
#   bash scripts/package-windows.sh BUILD_DIR [OUT_DIR]     (OUT_DIR default: BUILD_DIR/package)
#
# BUILD_DIR is a MinGW build folder holding vlxconfigurator.exe; its CMake cache names the Qt
# prefix (VLX_QT_PREFIX, else Qt6_DIR) and the version. QT_MINGW_PREFIX overrides the Qt prefix.
#
# Which DLLs: the program's PE imports (x86_64-w64-mingw32-objdump -p), followed recursively.
# An import found in the Qt prefix or among the MinGW runtime DLLs is shipped; one that Windows
# itself provides (Wine's builtin DLLs stand for that list; API set names, which Windows resolves
# itself and which are no files) is not; anything
# else stops the packaging with its name and who imports it. Plugins are loaded at run time, not
# imported, so they are chosen by what the program uses: the platform plugin of the Windows
# desktop (`windows`) and every style plugin the Qt build provides (Qt's default style on Windows
# lives in one). No image format plugin: the program reads PNG only, which Qt Gui reads itself.
# The plugins' own imports are followed the same way. tests/e2e/windows/ checks that the
# program started from the folder loads exactly these DLLs, no more, none from elsewhere.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:?usage: $0 BUILD_DIR [OUT_DIR]}
build=$(cd "$build" && pwd)
out=${2:-$build/package}
objdump=x86_64-w64-mingw32-objdump

fail() {
    echo "package-windows: $*" >&2
    exit 1
}

exe=$build/vlxconfigurator.exe
[ -f "$exe" ] || fail "$exe is missing; build the Windows program first (make package-windows does)"
cache=$build/CMakeCache.txt
[ -f "$cache" ] || fail "$build has no CMakeCache.txt"
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$cache" | head -n1; }

version=$(cache_value CMAKE_PROJECT_VERSION)
[ -n "$version" ] || fail "no CMAKE_PROJECT_VERSION in $cache"
qt=${QT_MINGW_PREFIX:-$(cache_value VLX_QT_PREFIX)}
if [ -z "$qt" ]; then
    qt_dir=$(cache_value Qt6_DIR)
    [ -n "$qt_dir" ] || fail "no Qt in $cache; set QT_MINGW_PREFIX to the Qt for MinGW prefix"
    qt=$(cd "$qt_dir/../../.." && pwd)
fi
[ -f "$qt/bin/Qt6Core.dll" ] || fail "$qt is no Qt for MinGW prefix (no bin/Qt6Core.dll)"

# Where shipped DLLs come from: the Qt prefix and the MinGW runtime of the posix compilers.
gcc_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
search_dirs=("$qt/bin" "$gcc_runtime" /usr/x86_64-w64-mingw32/lib)
# What Windows provides: Wine's builtin DLLs.
system_dirs=(/usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows)

declare -A shippable=()  # lower-case DLL name -> file
for dir in "${search_dirs[@]}"; do
    for f in "$dir"/*.dll; do
        [ -f "$f" ] || continue
        name=$(basename "$f")
        name=${name,,}
        [ -n "${shippable[$name]:-}" ] || shippable[$name]=$f
    done
done
declare -A system=()
for dir in "${system_dirs[@]}"; do
    for f in "$dir"/*.dll; do
        [ -f "$f" ] || continue
        name=$(basename "$f")
        system[${name,,}]=1
    done
done
[ ${#system[@]} -gt 0 ] || fail "Wine's builtin DLLs (the list of system DLLs) are not installed"

plugins=(platforms/qwindows.dll)
for f in "$qt"/plugins/styles/*.dll; do
    [ -f "$f" ] && plugins+=("styles/$(basename "$f")")
done

name=VlxConfigurator-$version-win64
folder=$out/$name
rm -rf "$folder" "$out/$name.zip" "$out/$name-setup.exe"
mkdir -p "$folder"

# Copies a PE file into the folder and follows its imports.
declare -A done=()
system_used=()
ship() {
    local file=$1 dest=$2 dll key
    file "$file" | grep -q 'PE32+ executable.*x86-64' || fail "$file is not a 64-bit Windows PE file"
    mkdir -p "$(dirname "$folder/$dest")"
    # Debug information stays in the build; the package ships the code.
    x86_64-w64-mingw32-strip --strip-debug -o "$folder/$dest" "$file"
    while read -r dll; do
        key=${dll,,}
        [ -z "${done[$key]:-}" ] || continue
        done[$key]=1
        if [ -n "${shippable[$key]:-}" ]; then
            ship "${shippable[$key]}" "$(basename "${shippable[$key]}")"
        elif [ -n "${system[$key]:-}" ] || [[ $key == api-ms-win-* || $key == ext-ms-win-* ]]; then
            system_used+=("$dll")
        else
            fail "$dest imports $dll, which is neither in $qt/bin, the MinGW runtime nor Windows"
        fi
    done < <("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
}
ship "$exe" vlxconfigurator.exe
for plugin in "${plugins[@]}"; do
    [ -f "$qt/plugins/$plugin" ] || fail "the Qt build has no plugin $plugin"
    ship "$qt/plugins/$plugin" "$plugin"
done
# Plugins beside the program only: without this Qt would also look in the folder above it.
printf '[Paths]\nPrefix = .\nPlugins = .\n' >"$folder/qt.conf"
cp "$here/packaging/copyright" "$folder/copyright.txt"

echo "package-windows: $folder"
(cd "$folder" && find . -type f | sort | sed 's|^\./|  |')
echo "  system DLLs used (not shipped): $(printf '%s\n' "${system_used[@]}" | sort -f | tr '\n' ' ')"

# The zip holds the folder itself.
(cd "$out" && find "$name" | sort | zip -q -X -9 -@ "$name.zip")

# The installer names the folder's files one by one (and its folders, deepest first, for the
# uninstaller), so the uninstaller removes exactly what was installed.
list=$out/$name-files.nsh
(
    cd "$folder"
    find . -mindepth 1 -type d | sort | sed 's|^\./||' | while read -r d; do
        printf '!insertmacro VlxDir "%s"\n' "${d//\//\\}"
    done
    find . -type f | sort | sed 's|^\./||' | while read -r f; do
        printf '!insertmacro VlxFile "%s"\n' "${f//\//\\}"
    done
) >"$list"
grep VlxDir "$list" | sort -r >"$list.dirs"
size_kb=$(du -sk "$folder" | cut -f1)
nsis_defines=(-DVLX_VERSION="$version" -DVLX_SOURCE="$folder" -DVLX_FILES="$list"
    -DVLX_SIZE_KB="$size_kb" -DVLX_OUTFILE="$out/$name-setup.exe")
# The installer shows the program's icon.
[ -f "$here/resources/icons/vlxconfigurator.ico" ] &&
    nsis_defines+=(-DVLX_ICON="$here/resources/icons/vlxconfigurator.ico")
makensis -V2 -NOCD "${nsis_defines[@]}" "$here/packaging/windows/vlxconfigurator.nsi"

printf 'package-windows: folder %s (%s kB), zip %s kB, installer %s kB\n' "$folder" "$size_kb" \
    "$(($(stat -c %s "$out/$name.zip") / 1024))" "$(($(stat -c %s "$out/$name-setup.exe") / 1024))"
