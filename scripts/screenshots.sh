#!/usr/bin/env bash
# screenshots.sh [build-dir]: draws the program's windows under a virtual X
# display (Xvfb) and writes the PNGs of the README into docs/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build/release}
case "$dir" in /*) ;; *) dir="$root/$dir" ;; esac

cmake -S "$root" -B "$dir" -G Ninja >/dev/null
cmake --build "$dir" --target harvina_screenshots -j"$(nproc)"

mkdir -p "$root/docs"
# The real windows on a real (virtual) X server, not the offscreen platform.
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
  "$dir/tests/app/harvina_screenshots" "$root/docs"
