#!/usr/bin/env bash
# Measures the mouse hook: the callback's decision path on the host (Google Benchmark), then under Wine the whole
# path from a wheel event to the target window with and without the hook, and the callback's own cost there; then
# smooth scrolling: latency to the first frame, frame spacing, CPU per second of animation and idle wake-ups.
#   scripts/bench-hook.sh [rounds of 20 events per side] [smoothed notches] [idle seconds per window] [user rules]
#   build folders under $BENCH_ROOT (/tmp/rollix-hook-bench)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bench_root=${BENCH_ROOT:-/tmp/rollix-hook-bench}
rounds=${1:-10}
smooth_notches=${2:-30}
idle_seconds=${3:-60}
# The router reads this many rules of its own beside the built-in table, as a heavy user would have.
user_rules=${4:-200}

echo "== host: decision path (Release, no sanitizers)"
cmake -S "$root" -B "$bench_root/host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DROLLIX_SANITIZE=OFF >/dev/null
ninja -C "$bench_root/host" hook_decision_bench >/dev/null
"$bench_root/host/tests/hook/hook_decision_bench" --benchmark_min_time=0.02 |
    grep -E '_(median|p99) ' || true
echo "   (cpu time per event; wall time counts other load on the machine)"

echo "== wine: wheel event to target window"
cmake -S "$root" -B "$bench_root/win64" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DROLLIX_TESTS=ON >/dev/null
ninja -C "$bench_root/win64" hook_path_bench smooth_bench >/dev/null

# A display and a Wine prefix of our own, both ended on the way out.
display=""
for n in 120 121 122 123 124 125 126 127 128 129; do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "no free X display in :120-:129" >&2; exit 1; }
Xvfb ":$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display" WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$bench_root/wineprefix}
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="
cleanup() { wineserver -k 2>/dev/null || true; kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
# A persistent server first, so the prefix's start-up is paid once and not by the measurement.
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot -i >/dev/null 2>&1 # creates the prefix on the first run
wine "$bench_root/win64/tests/bin/hook_path_bench.exe" "$rounds" "$user_rules"
echo "== wine: smooth scrolling (idle windows of $idle_seconds s, smoothing off and on, twice)"
wine "$bench_root/win64/tests/bin/smooth_bench.exe" "$smooth_notches" "$idle_seconds"
