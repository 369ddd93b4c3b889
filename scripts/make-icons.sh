#!/usr/bin/env bash
# Renders the program icon's larger sizes from resources/icons/vlxconfigurator.svg (the 16, 32
# and 48 pixel icons are drawn by hand). Needs rsvg-convert (Debian: librsvg2-bin). The PNGs are
# committed, so the build itself needs no renderer.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../resources/icons"
for size in 64 128 256; do
    rsvg-convert -w "$size" -h "$size" vlxconfigurator.svg -o "icon_$size.png"
done
