#!/usr/bin/env bash
# Installs what is missing, builds in Release and runs every test, then builds the
# tests again with AddressSanitizer and UndefinedBehaviorSanitizer and runs them again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== Release build"
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release
(cd build/release && ctest --output-on-failure -j2)

echo "== Sanitizer build (ASan + UBSan)"
scripts/build.sh build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHARVINA_SANITIZE=ON -DHARVINA_BUILD_BENCH=OFF
(cd build/asan && ctest --output-on-failure -j2)

echo "== Fuzz targets (clang, ASan + UBSan): 15 s each from the seed corpora"
FUZZ_BUILD_DIR=build/fuzz scripts/fuzz.sh 15
