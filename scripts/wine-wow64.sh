#!/usr/bin/env bash
# Runs a Windows program under the WoW64 Wine that scripts/build-wine-wow64.sh installs: the 32-bit tests' launcher
# (the win32-tests preset's emulator), whatever wine comes first on PATH.
set -euo pipefail

dir=$("$(dirname "${BASH_SOURCE[0]}")/build-wine-wow64.sh" --print-dir)
if [[ ! -f $dir/.complete ]]; then
    echo "wine-wow64.sh: no complete WoW64 Wine in $dir; scripts/build-wine-wow64.sh builds it" >&2
    exit 127
fi
exec "$dir/bin/wine" "$@"
