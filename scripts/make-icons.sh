#!/usr/bin/env bash
# Renders the program icon's larger sizes from resources/icons/vlxconfigurator.svg (the 16, 32
# and 48 pixel icons are drawn by hand) and puts every size into the Windows icon file. Needs
# rsvg-convert (Debian: librsvg2-bin) and ImageMagick's convert. The PNGs and the .ico are
# committed, so the build itself needs neither.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../resources/icons"
for size in 64 128 256; do
    rsvg-convert -w "$size" -h "$size" vlxconfigurator.svg -o "icon_$size.png"
done
convert icon_16.png icon_32.png icon_48.png icon_64.png icon_128.png icon_256.png vlxconfigurator.ico
