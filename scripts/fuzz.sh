#!/usr/bin/env bash
# fuzz.sh [SECONDS] [TARGET...]: builds the libFuzzer targets with clang (ASan+UBSan)
# and runs each one for SECONDS (default 600) from a copy of its seed corpus, two at
# a time, then prints executions, time and crashes per target. Exits 1 when any
# target crashed, leaked, hung or ran out of memory; its inputs are kept.
#
# FUZZ_BUILD_DIR  build directory (default build/fuzz)
# FUZZ_WORK_DIR   where corpora, logs and crash inputs go (default: a new temp folder)
# FUZZ_JOBS       targets run at once (default 2)
# FUZZ_NO_BUILD   set: run the targets already in FUZZ_BUILD_DIR/tests/fuzz
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

seconds=${1:-600}
shift || true
build=${FUZZ_BUILD_DIR:-build/fuzz}
work=${FUZZ_WORK_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/harvina-fuzz.XXXXXX")}
jobs=${FUZZ_JOBS:-2}
all_targets=(fuzz_text_helpers fuzz_regex fuzz_page_passes fuzz_markup_reader fuzz_decode_body
             fuzz_domain_filter fuzz_settings_store fuzz_cli_arguments)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

if [ -z "${FUZZ_NO_BUILD:-}" ]; then
  echo "== Fuzz build (clang, ASan + UBSan) in $build"
  CXX=${CXX_FUZZ:-clang++} cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DHARVINA_FUZZ=ON -DHARVINA_BUILD_GUI=OFF -DHARVINA_BUILD_TESTS=OFF -DHARVINA_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" --target "${targets[@]}" -j"$(nproc)"
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Targets that write files (the settings store) do it here: memory-backed when possible.
scratch=${TMPDIR:-/tmp}
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch=/dev/shm; fi

run_target() {
  local target=$1 dir="$work/$1"
  mkdir -p "$dir/corpus" "$dir/crashes"
  cp -r "$root/tests/fuzz/corpus/$target/." "$dir/corpus/" 2>/dev/null || true
  local start end rc=0
  start=$(date +%s)
  TMPDIR=$scratch "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$dir/crashes/" "$dir/corpus" >"$dir/log" 2>&1 || rc=$?
  end=$(date +%s)
  echo "$rc $((end - start))" >"$dir/result"
}

echo "== Fuzzing ${#targets[@]} targets, ${seconds}s each, $jobs at a time; output in $work"
running=0
for target in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  run_target "$target" &
  running=$((running + 1))
done
wait || true

failed=0
crashed=0
total_execs=0
printf '%-22s %14s %8s %9s %8s %s\n' target executions seconds exec/s crashes status
for target in "${targets[@]}"; do
  dir="$work/$target"
  read -r rc elapsed <"$dir/result"
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/log" | tail -1)
  crashes=$(find "$dir/crashes" -type f | wc -l)
  status=ok
  if [ "$rc" -ne 0 ] || [ "$crashes" -gt 0 ]; then
    status="FAILED (exit $rc, see $dir/log)"
    failed=1
    crashed=$((crashed + 1))
  fi
  printf '%-22s %14s %8s %9s %8s %s\n' "$target" "${execs:-?}" "$elapsed" "${rate:-?}" "$crashes" "$status"
  total_execs=$((total_execs + ${execs:-0}))
done
echo "Summary: ${#targets[@]} targets, $total_execs executions, $([ $failed -eq 0 ] && echo 'no crashes' || echo 'CRASHES FOUND')"
echo "fuzz: $((${#targets[@]} - crashed)) passed, $crashed failed"
for target in "${targets[@]}"; do
  for input in "$work/$target/crashes"/*; do
    [ -f "$input" ] && echo "  $target: $input"
  done
done
exit $failed
