#!/usr/bin/env bash
# The soak run (not part of CI): a job of many loopback pages through harvina-cli
# built with AddressSanitizer and UndefinedBehaviorSanitizer, leaks checked at exit.
# Checks no sanitizer report, the message's count against the lines written, the
# domains of every page, and no worker thread alive at the message; prints pages/s
# and the peak resident size.
#
#   scripts/soak.sh [PAGES] [THREADS]      (defaults 20000 and 20)
#
# Build folders: SOAK_ASAN_DIR (default build/soak-asan) for harvina-cli and
# SOAK_RELEASE_DIR (default build/soak-release) for the loopback server and the
# watcher. Every address is on 127.0.0.1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

pages=${1:-20000}
threads=${2:-20}
asan_dir=${SOAK_ASAN_DIR:-$root/build/soak-asan}
release_dir=${SOAK_RELEASE_DIR:-$root/build/soak-release}
jobs=${SOAK_BUILD_JOBS:-2}

echo "== Building harvina-cli with sanitizers in $asan_dir"
cmake -S "$root" -B "$asan_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHARVINA_SANITIZE=ON \
  -DHARVINA_BUILD_BENCH=OFF >/dev/null
cmake --build "$asan_dir" --target harvina-cli -j"$jobs"
echo "== Building the loopback server and the watcher in $release_dir"
cmake -S "$root" -B "$release_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHARVINA_BUILD_BENCH=OFF >/dev/null
cmake --build "$release_dir" --target hostile_server soak_watch -j"$jobs"

work=$(mktemp -d /tmp/harvina-soak-XXXXXX)
server_pid=
cleanup() {
  if [[ -n $server_pid ]]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The server ends by itself after two hours at the latest.
"$release_dir/tests/hostile/hostile_server" --good "$pages" --list "$work/list.txt" --seconds 7200 \
  >"$work/server.out" 2>"$work/server.err" &
server_pid=$!
for _ in $(seq 100); do
  grep -q '^port ' "$work/server.out" 2>/dev/null && break
  sleep 0.1
done
grep -q '^port ' "$work/server.out" || { echo "soak: the loopback server did not start" >&2; exit 1; }

echo "== Soak: $pages pages at $threads threads ($(sed -n 's/^port /port /p' "$work/server.out") on 127.0.0.1)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# No proxy of the environment may take the traffic anywhere else.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
status=0
HOME="$work" "$release_dir/tests/hostile/soak_watch" --good "$pages" --seconds 5400 -- \
  "$asan_dir/cli/harvina-cli" -t "$threads" -o "$work/out" "$work/list.txt" || status=$?

kill "$server_pid" 2>/dev/null || true
wait "$server_pid" 2>/dev/null || true
server_pid=
echo "server: $(cat "$work/server.err")"
if ! grep -q "foreign_hosts=0 trap_connections=0 good_fetched_once=$pages good_fetched_again=0" "$work/server.err"; then
  echo "soak: the server saw other requests than one per page" >&2
  status=1
fi
exit $status
