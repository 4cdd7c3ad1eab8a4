#!/usr/bin/env bash
# Measures Rollix Portable against its floor program (bench/floor_program.cpp) under Wine: start-up, idle CPU time
# and wake-ups (also against the tick floor, the same source with the work of every idle wake), control round
# trips, and the sizes of the 32-bit release binaries. Prints a Markdown table and writes it to
# build/bench/results.md. A full run takes about two minutes.
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
        sed -n '2,12p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
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
step "build: win64 (the driver, the program, the floors, the recording hook library) and win32 (the release binaries)"
cmake --preset win64 -B "$win64" --log-level=WARNING >/dev/null
cmake --build "$win64" --target RollixBench
cmake --preset win32 -B "$win32" --log-level=WARNING >/dev/null
cmake --build "$win32"

source "$root/scripts/wine-session.sh"
trap end_wine_session EXIT
trap 'exit 130' INT TERM

step "a private X display and Wine prefix"
logs=$(dirname "$out")
mkdir -p "$logs" "$prefix"
start_private_display "$logs/xvfb.log" "${ROLLIX_BENCH_DISPLAY:-}"
start_wine "$prefix" "$logs/wineboot.log"

step "measure (leave the pointer alone meanwhile)"
wine "$win64/bench/RollixBench.exe" --out "$out" --release-dir "$win32/bin" \
    --release-floor "$win32/bench/RollixFloor.exe" "$@"
echo "written to $out"
