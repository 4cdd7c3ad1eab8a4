# Sourced by scripts/test.sh: the 32-bit tests that cannot pass under Wine's WoW64 mode by a fault of Wine's
# (tests/wine-wow64-faults.txt). They still run, apart from the others, and the summary counts them on their own.

known_fault_names=()
declare -A known_fault_reason=()
# Matches exactly the listed tests (ctest -R / -E); matches no test name when the list is empty.
known_fault_regex='^$'

# load_known_faults FILE PRESET: reads the list; fails when a listed test is not a test of the preset, so that a
# renamed test cannot slip out of both runs.
load_known_faults() {
    local file=$1 preset=$2 line reason="" name escaped all_tests missing=()
    known_fault_names=()
    known_fault_reason=()
    known_fault_regex='^$'
    while IFS= read -r line || [[ -n $line ]]; do
        line=${line%%#*}
        line=$(echo "$line" | sed 's/^[[:space:]]*//; s/[[:space:]]*$//')
        [[ -z $line ]] && continue
        if [[ $line == reason:* ]]; then
            reason=$(echo "${line#reason:}" | sed 's/^[[:space:]]*//')
            continue
        fi
        [[ -n $reason ]] || { echo "$file: $line has no reason line above it" >&2; return 1; }
        known_fault_names+=("$line")
        known_fault_reason[$line]=$reason
    done <"$file"
    ((${#known_fault_names[@]})) || return 0

    all_tests=$(ctest --preset "$preset" -N | sed -n 's/^ *Test *#[0-9]*: //p')
    escaped=()
    for name in "${known_fault_names[@]}"; do
        grep -qxF "$name" <<<"$all_tests" || missing+=("$name")
        escaped+=("$(sed 's/[][\.*^$()+?{}|]/\\&/g' <<<"$name")")
    done
    if ((${#missing[@]})); then
        echo "$file names tests that $preset does not have: ${missing[*]}" >&2
        return 1
    fi
    known_fault_regex="^($(IFS='|'; echo "${escaped[*]}"))\$"
}

# test_outcomes LOG: "<name> passed|failed" for each test ctest reported, the last report of each.
test_outcomes() {
    awk '/Test +#[0-9]+: / {
            sub(/.*Test +#[0-9]+: /, ""); name = $1
            outcome[name] = ($0 ~ / +Passed +/) ? "passed" : "failed"
         }
         END { for (name in outcome) print name, outcome[name] }' "$1" | sort
}

# known_faults_passed LOG: true, and says so, when a test marked as a known fault passed.
known_faults_passed() {
    local passed
    passed=$(test_outcomes "$1" | awk '$2 == "passed" { print "  " $1 }')
    [[ -n $passed ]] || return 1
    echo "marked as known Wine faults in tests/wine-wow64-faults.txt, but passed (remove the marks):" >&2
    echo "$passed" >&2
}

# print_win32_summary LOG KNOWN_LOG: passed and failed of the ordinary run; the known faults by reason, with the
# number of each test suite's cases (tests/wine-wow64-faults.txt names them) and, by name, any that did not fail.
print_win32_summary() {
    local total failed reason name outcome suite expected=0 odd=()
    read -r failed total < <(sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$1" |
        tail -1)
    declare -A outcomes=()
    while read -r name outcome; do
        outcomes[$name]=$outcome
    done < <(test_outcomes "$2")
    for name in "${known_fault_names[@]}"; do
        if [[ ${outcomes[$name]:-} == failed ]]; then
            expected=$((expected + 1))
        else
            odd+=("$name: ${outcomes[$name]:-not run}")
        fi
    done
    if [[ -z $total ]]; then
        printf '%-6s %s\n' win32 "no ctest summary (see $1)"
    else
        printf '%-6s %d passed, %d failed, %d known Wine faults (%d failed as expected)\n' win32 $((total - failed)) \
            "$failed" "${#known_fault_names[@]}" "$expected"
    fi
    # One block a reason, in the order of the list.
    local reasons=()
    declare -A seen=()
    for name in "${known_fault_names[@]}"; do
        reason=${known_fault_reason[$name]}
        [[ -n ${seen[$reason]:-} ]] || reasons+=("$reason")
        seen[$reason]=1
    done
    for reason in "${reasons[@]}"; do
        local count=0 suites=()
        declare -A cases=()
        for name in "${known_fault_names[@]}"; do
            [[ ${known_fault_reason[$name]} == "$reason" ]] || continue
            count=$((count + 1))
            suite=${name%%.*}
            [[ -n ${cases[$suite]:-} ]] || suites+=("$suite")
            cases[$suite]=$((${cases[$suite]:-0} + 1))
        done
        printf '       %d: %s\n        ' "$count" "$reason"
        for suite in "${suites[@]}"; do
            printf ' %s (%d)' "$suite" "${cases[$suite]}"
        done
        printf '\n'
        unset cases
    done
    for name in "${odd[@]}"; do
        echo "       a known Wine fault that did not fail: $name"
    done
}
