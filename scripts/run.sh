#!/usr/bin/env bash
# Builds the 64-bit program and runs it under Wine from build/run/, beside the real hook library when it has been
# built (else the recording one) and the settings editor. Arguments go to the program ("-close", "/admin"...).
# Uses the current X display, or a private Xvfb when there is none.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"

cmake --preset win64 --log-level=WARNING
cmake --build --preset win64

bin=build/win64/bin
test_bin=build/win64/tests/bin
run=build/run
mkdir -p "$run"
cp "$bin/RollixPortable.exe" "$run/"
if [[ -f $bin/RollixHook.dll ]]; then
    cp "$bin/RollixHook.dll" "$run/"
else
    echo "run.sh: the real hook library is not built; using the recording one (calls go to $run/hooklog.txt)"
    cp "$test_bin/RollixHook.dll" "$run/"
fi
if [[ -f $bin/RollixConfig.exe ]]; then
    cp "$bin/RollixConfig.exe" "$run/"
elif [[ -f $test_bin/FakeRollixConfig.exe ]]; then
    cp "$test_bin/FakeRollixConfig.exe" "$run/RollixConfig.exe"
fi

xvfb_pid=""
cleanup() {
    if [[ -n $xvfb_pid ]]; then
        WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="

if [[ -z ${DISPLAY:-} ]]; then
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s $display_file ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    [[ -s $display_file ]] || { echo "run.sh: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"
    rm -f "$display_file"
    echo "run.sh: running on the private display $DISPLAY"
fi

cd "$run"
set +e
wine ./RollixPortable.exe "$@"
code=$?
set -e
echo "run.sh: RollixPortable.exe ended with code $code"
exit $code
