#!/usr/bin/env bash
# Measures Rollix Portable against its floor program (bench/floor_program.cpp) under Wine: start-up, idle CPU time
# and wake-ups, control round trips, and the sizes of the 32-bit release binaries. Prints a Markdown table and
# writes it to build/bench/results.md. A full run takes about two minutes.
#
# Usage: scripts/bench.sh [--starts N] [--idle-seconds S] [--trips N]     (defaults 15, 60 and 200)
# Environment, all optional:
#   ROLLIX_BENCH_WIN64_DIR, ROLLIX_BENCH_WIN32_DIR   build folders (default build/win64 and build/win32)
#   ROLLIX_BENCH_OUT       the results file (default build/bench/results.md)
#   ROLLIX_BENCH_PREFIX    the Wine prefix (default build/bench/wineprefix)
#   ROLLIX_BENCH_DISPLAY   the number of the X display for the private Xvfb (default: a free one)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
for arg in "$@"; do
    if [[ $arg == -h || $arg == --help ]]; then
        sed -n '2,11p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
        exit 0
    fi
done
"$root/scripts/setup.sh"

win64=$(realpath -m "${ROLLIX_BENCH_WIN64_DIR:-$root/build/win64}")
win32=$(realpath -m "${ROLLIX_BENCH_WIN32_DIR:-$root/build/win32}")
out=$(realpath -m "${ROLLIX_BENCH_OUT:-$root/build/bench/results.md}")
prefix=$(realpath -m "${ROLLIX_BENCH_PREFIX:-$root/build/bench/wineprefix}")

step() { printf '==== %s\n' "$*"; }

# The presets' settings, each in the folder asked for.
step "build: win64 (the driver, the program, the recording hook library) and win32 (the release binaries)"
cmake --preset win64 -B "$win64" --log-level=WARNING >/dev/null
cmake --build "$win64" --target RollixBench
cmake --preset win32 -B "$win32" --log-level=WARNING >/dev/null
cmake --build "$win32"

xvfb_pid=""
wine_running=0
cleanup() {
    if [[ $wine_running == 1 ]]; then
        wineserver -k >/dev/null 2>&1 || true
    fi
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

step "a private X display and Wine prefix"
logs=$(dirname "$out")
mkdir -p "$logs" "$prefix"
if [[ -n ${ROLLIX_BENCH_DISPLAY:-} ]]; then
    Xvfb ":$ROLLIX_BENCH_DISPLAY" -screen 0 1024x768x24 -nolisten tcp 2>"$logs/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -e /tmp/.X11-unix/X$ROLLIX_BENCH_DISPLAY ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    [[ -e /tmp/.X11-unix/X$ROLLIX_BENCH_DISPLAY ]] || { echo "Xvfb did not start (see $logs/xvfb.log)" >&2; exit 1; }
    export DISPLAY=":$ROLLIX_BENCH_DISPLAY"
else
    # -displayfd picks a free number and reports it once the server is ready.
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>"$logs/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s $display_file ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    [[ -s $display_file ]] || { echo "Xvfb did not start (see $logs/xvfb.log)" >&2; exit 1; }
    export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"
    rm -f "$display_file"
fi

export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="
# One server for the whole run, and Wine's services started before anything is timed.
wineserver -p
wine_running=1
wine wineboot >"$logs/wineboot.log" 2>&1

step "measure (leave the pointer alone meanwhile)"
wine "$win64/bench/RollixBench.exe" --out "$out" --release-dir "$win32/bin" \
    --release-floor "$win32/bench/RollixFloor.exe" "$@"
echo "written to $out"
