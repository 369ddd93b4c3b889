#!/usr/bin/env bash
# The Debian package as a user gets it: built with CPack from the build folder, unpacked into a
# scratch root, its files where the desktop looks for them and valid, lintian without errors, the
# installed program starting offscreen on the bundled sample and ending cleanly, and --check
# passing on it. The package, the program's --version, the manual page, the changelog's newest
# entry and the metainfo's newest release all carry the project's version.
#   installed_package_test.sh BUILD_DIR VERSION
set -euo pipefail

build=$(cd "$1" && pwd)
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/deb/vlxconfigurator_*.deb)
root=$work/root
dpkg -x "$deb" "$root"

share=$root/usr/share
for file in usr/bin/vlxconfigurator usr/share/applications/vlxconfigurator.desktop \
    usr/share/metainfo/de.vorna_roboter.vlxconfigurator.metainfo.xml \
    usr/share/man/man1/vlxconfigurator.1.gz usr/share/icons/hicolor/scalable/apps/vlxconfigurator.svg \
    usr/share/doc/vlxconfigurator/copyright usr/share/doc/vlxconfigurator/changelog.gz \
    usr/share/doc/vlxconfigurator/examples/controller.reg; do
    [ -f "$root/$file" ] || fail "$file is not in the package"
done
for size in 16 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x${size}/apps/vlxconfigurator.png
    [ -f "$icon" ] || fail "no ${size}x$size icon"
    # Width and height from the PNG header.
    [ "$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")" ] ||
        fail "the ${size}x$size icon has another size"
done
grep -qx 'MimeType=text/x-ms-regedit;' "$share/applications/vlxconfigurator.desktop" ||
    fail "the desktop entry does not open .reg files"
desktop-file-validate "$share/applications/vlxconfigurator.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/de.vorna_roboter.vlxconfigurator.metainfo.xml" \
    >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log" >&2; fail "lintian reports errors"; }
man -l "$share/man/man1/vlxconfigurator.1.gz" >/dev/null 2>&1 || fail "the manual page does not format"

# One version everywhere.
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package is not version $version"
head -n1 <(gzip -dc "$share/doc/vlxconfigurator/changelog.gz") | grep -qF "($version)" ||
    fail "the changelog's newest entry is not $version"
head -n1 <(gzip -dc "$share/man/man1/vlxconfigurator.1.gz") | grep -qF "\"vlxconfigurator $version\"" ||
    fail "the manual page is not of $version"
grep -m1 '<release ' "$share/metainfo/de.vorna_roboter.vlxconfigurator.metainfo.xml" |
    grep -qF "version=\"$version\"" || fail "the metainfo's newest release is not $version"

# The installed program on the sample built into it: the first start creates the default file.
program=$root/usr/bin/vlxconfigurator
export HOME=$work/home XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
[ "$("$program" --version)" = "vlxconfigurator $version" ] || fail "--version does not print $version"
file=$XDG_DATA_HOME/vlxconfigurator/registry.reg
"$program" >"$work/run.out" 2>"$work/run.err" &
pid=$!
for _ in $(seq 100); do
    [ -f "$file" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
sleep 1
kill -0 "$pid" 2>/dev/null || { cat "$work/run.err" >&2; fail "the program did not keep running"; }
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { cat "$work/run.err" >&2; fail "the program ended with $status"; }
cmp -s "$file" "$share/doc/vlxconfigurator/examples/controller.reg" ||
    fail "the first start did not create the default file from the sample"
[ ! -e "$file.bak" ] || fail "the program wrote the file"

# --check passes on it, without a display, and writes nothing.
out=$(env -u DISPLAY -u QT_QPA_PLATFORM "$program" --check 2>&1) || fail "--check: $out"
[ -z "$out" ] || fail "--check printed: $out"
"$program" --registry "$file" --export-for-import "$work/import.reg" || fail "--export-for-import"
grep -aq '^\[-HKEY_LOCAL_MACHINE' "$work/import.reg" || fail "the import file deletes no area"
status=0
"$program" --check --export-for-import "$work/x.reg" 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "a bad combination ended with $status, not 2"
[ ! -e "$file.bak" ] || fail "a command changed the registry file"
echo "installed package: OK ($(basename "$deb"))"
