#!/usr/bin/env bash
# Makes the README's picture of the main window: the program on a copy of the sample
# configuration under a private X server (Xvfb), captured with ImageMagick's import.
#   make-screenshot.sh [PROGRAM] [OUT.png]      (default: build/vlxconfigurator docs/screenshot.png)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

program=$(realpath "${1:-build/vlxconfigurator}")
out=$(realpath -m "${2:-docs/screenshot.png}")
for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "make-screenshot: $tool is missing" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp resources/sample/controller.reg "$work/controller.reg"
mkdir -p "$(dirname "$out")" "$work/home" "$work/run"
chmod 700 "$work/run"

HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/data \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -euo pipefail
    "$1" --registry "$2" &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "^VLX Configurator\$" | head -n1)
    sleep 2   # let the first page paint
    import -window "$window" "$3"
    kill -TERM "$pid"
    wait "$pid"
' make-screenshot "$program" "$work/controller.reg" "$out"
echo "wrote $out"
