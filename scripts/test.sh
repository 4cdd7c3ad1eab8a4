#!/usr/bin/env bash
# Builds the host, win32, win32-tests and win64 presets and runs every test: the host tests with sanitizers, the
# Windows tests under a private Wine on a private X display, first 64-bit under Debian's Wine, then 32-bit (against
# the release binaries of build/win32/bin) under Wine's WoW64 mode, built once by scripts/build-wine-wow64.sh.
# Exits non-zero on any failure.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"

jobs=${ROLLIX_TEST_JOBS:-2}
logs=$root/build/test-logs
mkdir -p "$logs"

# Each step says when it began, counted from the start of the run.
step() { printf '\n==== %s (at %dm%02ds)\n' "$*" $((SECONDS / 60)) $((SECONDS % 60)); }

# The WoW64 Wine of the 32-bit tests: built once (half an hour on 2 cores), meanwhile, at the lowest priority, in a
# process group of its own that an interrupted run ends; the 32-bit step waits for it. Later runs find it built.
step "the WoW64 Wine: built or checked in the background (log: $logs/wine-wow64-build.log)"
setsid "$root/scripts/build-wine-wow64.sh" >"$logs/wine-wow64-build.log" 2>&1 &
wow64_build=$!
end_wow64_build() {
    [[ -z $wow64_build ]] || kill -- "-$wow64_build" 2>/dev/null || true
}

source "$root/scripts/wine-session.sh"
trap 'end_wow64_build; end_wine_session' EXIT
trap 'exit 130' INT TERM

# win32-tests after win32: its tests run the binaries the release build just made.
for preset in host win32 win32-tests win64; do
    step "configure and build: $preset"
    cmake --preset "$preset" --log-level=WARNING
    cmake --build --preset "$preset"
done

step "release executable: PE32 GUI, system DLLs and RollixHook.dll only"
exe=build/win32/bin/RollixPortable.exe
kind=$(file -b "$exe")
if [[ $kind != "PE32 executable (GUI) Intel 80386"* ]]; then
    echo "$exe is not a 32-bit GUI executable: $kind" >&2
    exit 1
fi
allowed=" kernel32.dll user32.dll gdi32.dll shell32.dll advapi32.dll comctl32.dll msvcrt.dll ntdll.dll rollixhook.dll "
imports=$(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print tolower($3) }')
bad=""
for dll in $imports; do
    [[ $allowed == *" $dll "* ]] || bad+=" $dll"
done
if [[ -n $bad ]]; then
    echo "$exe imports DLLs that are not part of Windows:$bad" >&2
    exit 1
fi
if ! grep -qx rollixhook.dll <<<"$imports"; then
    echo "$exe does not import RollixHook.dll" >&2
    exit 1
fi
echo "$kind; imports: $(echo $imports)"

status=0

step "release packages: contents, PE32, imports and size budgets"
"$root/scripts/package.sh" --strict --no-build || status=1

step "host tests"
set +e
ctest --preset host -j "$jobs" --output-on-failure 2>&1 | tee "$logs/host.log"
host_status=${PIPESTATUS[0]}
set -e
[[ $host_status == 0 ]] || status=1

step "clang-tidy on the platform-free code"
# The sources the host build compiles; the checks are in .clang-tidy.
mapfile -t tidy_sources < <(git ls-files 'app/*.cpp' 'toolkit/*.cpp' 'hook/*.cpp' 'editor/*.cpp' |
    while read -r source; do grep -q "\"file\": \"$root/$source\"" build/host/compile_commands.json && echo "$source"; done)
if ! clang-tidy -p build/host --quiet "${tidy_sources[@]}" >"$logs/clang-tidy.log" 2>&1; then
    grep -E "warning:|error:" "$logs/clang-tidy.log" >&2 || cat "$logs/clang-tidy.log" >&2
    status=1
fi
echo "${#tidy_sources[@]} files checked"

step "Windows tests under Wine"
start_private_display "$logs/xvfb.log"
start_wine "$root/build/wineprefix" "$logs/wineboot.log"

set +e
# Under load Wine's launcher now and then ends a test process at once, before the test prints a line (about one
# start in several hundred here); a test that fails is therefore run once more, and must pass then.
ctest --preset win64 -j "$jobs" --output-on-failure --repeat until-pass:2 2>&1 | tee "$logs/win64.log"
win64_status=${PIPESTATUS[0]}
set -e
[[ $win64_status == 0 ]] || status=1

step "screenshots at 150% (Wine's LogPixels = 144), in a prefix of their own"
"$root/scripts/scaled-screenshots.sh" || status=1

step "32-bit tests: the release binaries under Wine's WoW64 mode"
# Last, on the same display: its Wine comes first on PATH from here on, and this prefix's server is ended first.
end_wine_server
# Tests that cannot pass there by a fault of Wine's run apart, and count as known faults.
source "$root/scripts/wine-wow64-faults.sh"
win32_ran=0
wow64_status=0
wait "$wow64_build" || wow64_status=$?
wow64_build=""
# The build's last line says how long it took; a build found complete says nothing.
wow64_note=$(tail -1 "$logs/wine-wow64-build.log")
if ((wow64_status != 0)); then
    tail -20 "$logs/wine-wow64-build.log" >&2
    echo "the WoW64 Wine could not be built: the 32-bit tests did not run" >&2
    status=1
elif ! load_known_faults "$root/tests/wine-wow64-faults.txt" win32-tests; then
    status=1
else
    start_wine "$root/build/wineprefix-wow64" "$logs/wineboot-wow64.log" "$(scripts/build-wine-wow64.sh --print-dir)"
    set +e
    ctest --preset win32-tests -j "$jobs" --output-on-failure --repeat until-pass:2 -E "$known_fault_regex" 2>&1 |
        tee "$logs/win32.log"
    win32_status=${PIPESTATUS[0]}
    # Expected to fail, so run once: a pass means the fault has gone and the mark must go too.
    ctest --preset win32-tests -j "$jobs" --output-on-failure -R "$known_fault_regex" >"$logs/win32-known.log" 2>&1
    set -e
    win32_ran=1
    [[ $win32_status == 0 ]] || status=1
    known_faults_passed "$logs/win32-known.log" && status=1
fi

step "summary"
for part in host win64; do
    summary=$(grep -E 'tests passed|No tests were found' "$logs/$part.log" | tail -1 || true)
    printf '%-6s %s\n' "$part" "${summary:-no ctest summary (see $logs/$part.log)}"
done
printf '%-6s %s\n' wow64 "${wow64_note:-built already, reused}"
if ((win32_ran)); then
    print_win32_summary "$logs/win32.log" "$logs/win32-known.log"
else
    printf '%-6s %s\n' win32 "not run"
fi
exit $status
