#!/usr/bin/env bash
# Installs what is missing, builds, and starts Harvina: the desktop program where a
# display exists, otherwise a headless demonstration job of harvina-cli.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DHARVINA_BUILD_TESTS=OFF -DHARVINA_BUILD_BENCH=OFF

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/release/app/harvina ]; then
  exec build/release/app/harvina "$@"
elif [ -x build/release/cli/harvina-cli ]; then
  echo "No display found: running the headless demonstration job."
  exec build/release/cli/harvina-cli --demo "$@"
else
  echo "The programs are not built yet; the core library and its tests are."
fi
