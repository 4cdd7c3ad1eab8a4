#!/usr/bin/env bash
# Tests of scripts/wine-wow64-faults.sh, the known-fault list of the 32-bit run: reading the list, the regular
# expression that picks the listed tests out, ctest's reports and the summary.
#   wine_wow64_faults_test.sh <scripts/wine-wow64-faults.sh>
set -uo pipefail

source "$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # check <what> <expected> <actual>
    if [[ $2 != "$3" ]]; then
        printf 'FAILED: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
        failures=$((failures + 1))
    fi
}

# The preset's tests, as "ctest -N" lists them.
ctest() { printf '  Test #1: Tray.Icon\n  Test #2: TrayXIcon\n  Test #3: Tray.IconLater\n  Test #4: Editor.Opens\n'
    printf '  Test #5: editor_screenshot\n\nTotal Tests: 5\n'; }

cat >"$work/faults.txt" <<'LIST'
# a comment
reason: no icon loads
Tray.Icon   # the tray
reason: no text is measured
Editor.Opens
editor_screenshot
LIST
load_known_faults "$work/faults.txt" preset
check "names in order" "Tray.Icon Editor.Opens editor_screenshot" "${known_fault_names[*]}"
check "the reason of a name" "no text is measured" "${known_fault_reason[Editor.Opens]}"
picked=$(ctest | sed -n 's/^ *Test *#[0-9]*: //p' | grep -E "$known_fault_regex" | tr '\n' ' ')
check "the expression picks exactly the listed tests" "Tray.Icon Editor.Opens editor_screenshot " "$picked"

printf 'reason: r\nTray.Icon\nTray.Gone\n' >"$work/unknown.txt"
load_known_faults "$work/unknown.txt" preset 2>"$work/error.txt"
check "a name the preset lacks fails the list" "1" "$?"
check "and is named" "yes" "$(grep -q 'Tray.Gone' "$work/error.txt" && echo yes)"
printf 'Tray.Icon\n' >"$work/no-reason.txt"
load_known_faults "$work/no-reason.txt" preset 2>/dev/null
check "a name without a reason above it fails the list" "1" "$?"

# ctest's reports, with a repeated test whose last report counts; the list of the first file again.
load_known_faults "$work/faults.txt" preset
cat >"$work/known.log" <<'LOG'
1/3 Test #1: Tray.Icon ..................***Failed    0.20 sec
2/3 Test #4: Editor.Opens ...............***Timeout 120.01 sec
3/3 Test #5: editor_screenshot ..........***Failed   18.00 sec
LOG
check "every listed test failed" "" "$(known_faults_passed "$work/known.log" 2>&1)"
printf '1/1 Test #1: Tray.Icon ..................   Passed    0.20 sec\n' >>"$work/known.log"
check "the last report of a test counts" "Editor.Opens failed|Tray.Icon passed|editor_screenshot failed" \
    "$(test_outcomes "$work/known.log" | tr '\n' '|' | sed 's/|$//')"
known_faults_passed "$work/known.log" 2>"$work/stale.txt"
check "a listed test that passed is told" "0" "$?"
check "by name" "yes" "$(grep -q '  Tray.Icon' "$work/stale.txt" && echo yes)"

printf '90%% tests passed, 1 tests failed out of 10\n' >"$work/main.log"
summary=$(print_win32_summary "$work/main.log" "$work/known.log")
check "the counts" "win32  9 passed, 1 failed, 3 known Wine faults (2 failed as expected)" "$(sed -n 1p <<<"$summary")"
check "a reason with its number and suites" "1: no icon loads|Tray (1)" \
    "$(sed -n '2,3p' <<<"$summary" | sed 's/^ *//' | tr '\n' '|' | sed 's/|$//')"
check "the test that did not fail" "a known Wine fault that did not fail: Tray.Icon: passed" \
    "$(tail -1 <<<"$summary" | sed 's/^ *//')"

((failures == 0)) && echo "all passed"
exit $((failures > 0))
