#!/usr/bin/env bash
# Provides Qt 6 (Core, Gui, Widgets, the windows and offscreen platform plugins, the Windows
# style) for MinGW-w64 and prints its install prefix on the last line of stdout:
#
#   prefix=$(bash scripts/qt6-mingw.sh | tail -n 1)
#
# The prefix lives outside the work tree, in $VLX_QT_CACHE (default
# ${XDG_CACHE_HOME:-~/.cache}/vlxconfigurator), named by the Qt version and a hash of the build
# options, so a change of options gives a new prefix:
#   1. a complete prefix of that name is reused;
#   2. else a prebuilt archive of exactly this build is unpacked when its sha256 is the one known
#      for these options and its features are these options: $VLX_QT_MINGW_ARCHIVE, or
#      <repository>/../shared/qt6-mingw/qt6-mingw-6.4.2.tar.xz;
#   3. else Qt is built from Debian's own source package (about 40 minutes on two cores), fetched
#      with a private apt configuration holding a deb-src entry for the machine's suite; the
#      machine's own apt sources stay as they are.
# A prefix is put in place only when complete (unpacked or installed beside it, checked, then
# renamed), so an interrupted or failed run never leaves a half prefix that a later run uses.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(git -C "$here" rev-parse --show-toplevel 2>/dev/null || (cd "$here/.." && pwd))

qt_version=6.4.2
deb_version=6.4.2+dfsg-10
jobs=${JOBS:-2}

# Every option the build is made with; the prefix's name hashes them with the toolchain below.
# The three OpenGL/tablet options: Debian's tarball lacks Qt's bundled tablet headers, and with
# OpenGL off the Windows platform plugin compiles only without dynamic OpenGL.
options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF
    -DFEATURE_testlib=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_tabletevent=OFF -DINPUT_opengl=no -DFEATURE_dynamicgl=OFF
)
toolchain='set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)'
# The sha256 of the prebuilt archive of exactly these options. Change it together with them.
archive_sha256=71b6e6674209c0f01e992714278117ec5a5293b3d72f94467afc492ab057554f

stamp_text=$(printf 'qt6-base %s\n%s\n%s\n' "$deb_version" "${options[*]}" "$toolchain")
hash=$(printf '%s' "$stamp_text" | sha256sum | cut -c1-12)
cache=${VLX_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vlxconfigurator}
prefix=$cache/qt6-mingw-$qt_version-$hash
stamp=vlx-qt-build.txt

say() { echo "qt6-mingw: $*" >&2; }
fail() {
    say "FAILED: $1"
    say "what to do: $2"
    exit 1
}

# A prefix is complete when it holds the stamp of these options and what the program loads.
prefix_complete() {
    local dir=$1 f
    [ -f "$dir/$stamp" ] && [ "$(cat "$dir/$stamp")" = "$stamp_text" ] || return 1
    for f in bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll plugins/platforms/qwindows.dll \
        plugins/platforms/qoffscreen.dll plugins/styles/qwindowsvistastyle.dll \
        lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake mingw-toolchain.cmake; do
        [ -s "$dir/$f" ] || return 1
    done
}

# Each feature the options turn off must be off in the prefix's configuration headers, so a
# prefix made with other options is never taken for this one.
features_match() {
    local dir=$1 opt name configs
    configs=$(find "$dir/include/QtCore" "$dir/include/QtGui" "$dir/include/QtWidgets" \
        -name 'q*config*.h' 2>/dev/null || true)
    [ -n "$configs" ] || return 1
    for opt in "${options[@]}"; do
        case $opt in
            -DFEATURE_*=OFF)
                name=${opt#-DFEATURE_}
                name=${name%=OFF}
                # shellcheck disable=SC2086
                grep -qx "#define QT_FEATURE_$name -1" $configs || {
                    say "the feature $name is not off in $dir"
                    return 1
                }
                ;;
        esac
    done
}

# Checks a freshly made prefix in its scratch folder, stamps it and puts it in place.
finish_prefix() {
    local made=$1
    printf '%s\n' "$toolchain" >"$made/mingw-toolchain.cmake"
    features_match "$made" || return 1
    printf '%s' "$stamp_text" >"$made/$stamp"
    prefix_complete "$made" || return 1
    rm -rf "$prefix"
    mv "$made" "$prefix"
}

if prefix_complete "$prefix"; then
    say "reusing $prefix"
    echo "$prefix"
    exit 0
fi
if [ -e "$prefix" ]; then
    say "$prefix is incomplete or of other options; making it again"
    rm -rf "$prefix"
fi
mkdir -p "$cache"
started=$(date +%s)

# 2. The prebuilt archive.
archive=${VLX_QT_MINGW_ARCHIVE:-$repo/../shared/qt6-mingw/qt6-mingw-$qt_version.tar.xz}
if [ "${VLX_QT_FROM_SOURCE:-0}" != 1 ] && [ -f "$archive" ]; then
    say "checking the archive $archive"
    if [ "$(sha256sum <"$archive" | cut -d' ' -f1)" != "$archive_sha256" ]; then
        say "its sha256 is not that of a build with these options; building from source instead"
    else
        scratch=$(mktemp -d "$cache/.unpack-XXXXXX")
        if tar -xJf "$archive" -C "$scratch" && [ -d "$scratch/qt6-mingw-$qt_version" ] &&
            finish_prefix "$scratch/qt6-mingw-$qt_version"; then
            rm -rf "$scratch"
            say "unpacked into $prefix in $(($(date +%s) - started)) s"
            echo "$prefix"
            exit 0
        fi
        rm -rf "$scratch"
        say "the archive does not hold such a build; building from source instead"
    fi
fi

# 3. From Debian's source package.
for tool in cmake ninja x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix apt-get \
    dpkg-source /usr/lib/qt6/libexec/moc; do
    command -v "$tool" >/dev/null ||
        fail "finding $tool" "install the project's packages: bash scripts/install-deps.sh"
done
work=$cache/build-qt6-mingw-$qt_version-$hash
mkdir -p "$work"
step_started=$started

step_done() {
    local now
    now=$(date +%s)
    say "$1 took $((now - step_started)) s"
    step_started=$now
}

# The source: a private apt configuration with a deb-src entry for this machine's suite, from
# its own mirror; the machine's apt sources, lists and cache stay untouched.
src=$work/qt6-base-${deb_version%-*}
if [ ! -f "$src/.vlx-complete" ]; then
    say "fetching Debian's source package qt6-base $deb_version"
    # shellcheck disable=SC1091
    suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    mirror=${VLX_DEBIAN_MIRROR:-$(
        { grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{print $2}'
          grep -hs '^deb ' /etc/apt/sources.list | awk '{print $2}'; } |
            grep -v security | head -n 1 || true
    )}
    mirror=${mirror:-http://deb.debian.org/debian}
    apt_dir=$work/apt
    rm -rf "$apt_dir" "$work"/qt6-base*
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts"
    echo "deb-src $mirror $suite main" >"$apt_dir/sources.list"
    apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
        -o "Dir::Etc::SourceParts=$apt_dir/parts" -o "Dir::State::Lists=$apt_dir/lists"
        -o "Dir::Cache=$apt_dir/cache" -o "APT::Sandbox::User=$(id -un)")
    apt-get "${apt_options[@]}" update ||
        fail "apt-get update with the deb-src entry '$(cat "$apt_dir/sources.list")'" \
            "check the network and the mirror (set VLX_DEBIAN_MIRROR to another), then run again"
    (cd "$work" && apt-get "${apt_options[@]}" source "qt6-base=$deb_version") ||
        fail "apt-get source qt6-base=$deb_version" \
            "check the network; the suite '$suite' must carry qt6-base $deb_version"
    [ -f "$src/CMakeLists.txt" ] ||
        fail "unpacking the source package into $src" "delete $work and run again"
    touch "$src/.vlx-complete"
    step_done "fetching the source"
fi

if [ "${VLX_QT_STOP_AFTER:-}" = fetch ]; then
    say "stopping after the fetch, as VLX_QT_STOP_AFTER asks"
    exit 0
fi

build=$work/build
made=$work/prefix
printf '%s\n' "$toolchain" >"$work/mingw-toolchain.cmake"
if [ ! -f "$build/build.ninja" ]; then
    say "configuring Qt $qt_version for MinGW-w64"
    rm -rf "$build"
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/mingw-toolchain.cmake" \
        -DCMAKE_INSTALL_PREFIX="$made" -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${options[@]}" \
        >"$work/configure.log" 2>&1 || {
        tail -n 30 "$work/configure.log" >&2
        rm -rf "$build"
        fail "configuring Qt (log: $work/configure.log)" \
            "install the project's packages (bash scripts/install-deps.sh), then run again"
    }
    step_done "configuring"
fi

if [ "${VLX_QT_STOP_AFTER:-}" = configure ]; then
    say "stopping after the configure step, as VLX_QT_STOP_AFTER asks"
    exit 0
fi

# Ninja's [done/total] lines are the progress, one per 5 % shown; every other line (a compiler's
# message) goes through whole. All on standard error: callers keep only the last line of standard
# output, the prefix. A build stopped halfway goes on next time.
say "building Qt (about 40 minutes on two cores)"
if ! cmake --build "$build" -j"$jobs" 2>&1 | awk '
    /^\[[0-9]+\/[0-9]+\]/ {
        split(substr($1, 2), n, /[\/\]]/)
        percent = int(100 * n[1] / n[2])
        if (percent >= shown + 5 || n[1] == n[2]) {
            shown = percent - percent % 5
            printf "qt6-mingw: built %d of %d steps (%d %%)\n", n[1], n[2], percent
            fflush()
        }
        next
    }
    { print; fflush() }' >&2; then
    fail "building Qt in $build" "see the compiler's message above; run again to continue"
fi
step_done "building"
rm -rf "$made"
cmake --install "$build" >/dev/null ||
    fail "installing Qt into $made" "check the free disk space, then run again"
finish_prefix "$made" || fail "checking the built prefix $made" "delete $work and run again"
step_done "installing"
rm -rf "$work"
say "built Qt into $prefix in $(($(date +%s) - started)) s"
echo "$prefix"
