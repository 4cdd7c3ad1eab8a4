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

source "$root/scripts/wine-session.sh"
trap end_wine_session EXIT
trap 'exit 130' INT TERM

export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="

if [[ -z ${DISPLAY:-} ]]; then
    start_private_display /dev/null
    # Wine's processes belong to that display: end them with it.
    wine_session_server=1
    echo "run.sh: running on the private display $DISPLAY"
fi

cd "$run"
set +e
wine ./RollixPortable.exe "$@"
code=$?
set -e
echo "run.sh: RollixPortable.exe ended with code $code"
exit $code
