#!/usr/bin/env bash
# Runs a Windows program under the WoW64 Wine that scripts/build-wine-wow64.sh installs: the 32-bit tests' launcher
# (the win32-tests preset's emulator), whatever wine comes first on PATH. Its output comes when it has ended.
set -euo pipefail

dir=$("$(dirname "${BASH_SOURCE[0]}")/build-wine-wow64.sh" --print-dir)
if [[ ! -f $dir/.complete ]]; then
    echo "wine-wow64.sh: no complete WoW64 Wine in $dir; scripts/build-wine-wow64.sh builds it" >&2
    exit 127
fi
# The first program to need the desktop starts Wine's desktop process and hands it its stderr, which that process
# keeps until the desktop has been unused for a second: handed ctest's pipe, it would hold the test open as long as
# other tests keep running. A file of our own takes the output instead.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
set +e
"$dir/bin/wine" "$@" >"$output" 2>&1
status=$?
set -e
cat "$output"
exit $status
