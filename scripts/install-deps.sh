#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, if any are missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config ccache
    qt6-base-dev qt6-base-dev-tools libgl-dev
    googletest libgtest-dev libbenchmark-dev libxxhash-dev
    xvfb xauth xdotool nsis zip unzip
    g++-mingw-w64-x86-64-posix wine64 wine
    ninja-build xz-utils fonts-dejavu-core
    dpkg-dev file desktop-file-utils appstream lintian man-db imagemagick
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]}; run as root or install them with apt-get." >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
