#!/usr/bin/env bash
# Tests of scripts/wine-wow64-cache.sh: which prebuilt WoW64 Wine archives are unpacked and which are refused (and
# then built instead), with what message, and that a refusal leaves no install behind; then build-wine-wow64.sh's
# own choice for the installed wine, with the cache present, damaged and hidden.
#   wine_wow64_cache_test.sh <scripts/wine-wow64-cache.sh> <scripts/build-wine-wow64.sh>
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

version="8.0~repack-4"
# make_archive DIR TOP_FOLDER STAMP(yes/no) [VERSION]: a cache folder holding one archive and its checksum file.
make_archive() {
    local dir=$1 top=$2 stamp=$3 named=${4:-$version} tree
    tree=$(mktemp -d)
    mkdir -p "$tree/$top/bin" "$dir"
    echo wine >"$tree/$top/bin/wine"
    [[ $stamp == yes ]] && echo built >"$tree/$top/.complete"
    tar -C "$tree" -c "$top" | zstd -q -o "$(wine_cache_archive "$dir" "$named")"
    (cd "$dir" && sha256sum "rollix-wine-wow64-$named.tar.zst" >"rollix-wine-wow64-$named.tar.zst.sha256")
    rm -rf "$tree"
}

# Each case: name, how its cache is made, the expected status, a word the message must hold ("" for silence).
run_case() {
    local name=$1 expected_status=$2 expected_word=$3 dir=$work/$1 root=$work/$1-install status message
    unpack_wine_cache "$dir" "$version" "$root" 2>"$work/$name.err"
    status=$?
    message=$(cat "$work/$name.err")
    check "$name: status" "$expected_status" "$status"
    if [[ -z $expected_word ]]; then
        check "$name: says nothing" "" "$message"
    else
        check "$name: the message says why" "yes" "$(grep -qi -- "$expected_word" <<<"$message" && echo yes)"
    fi
    if ((expected_status == 0)); then
        check "$name: installed with its stamp" "built" "$(cat "$root/$version/.complete" 2>/dev/null)"
    else
        check "$name: nothing installed" "" "$(ls -A "$root" 2>/dev/null)"
    fi
}

make_archive "$work/good" "$version" yes
run_case good 0 ""

make_archive "$work/damaged" "$version" yes
printf 'X' | dd of="$(wine_cache_archive "$work/damaged" "$version")" bs=1 seek=100 conv=notrunc status=none
run_case damaged 1 "checksum of"

make_archive "$work/other-version" "9.0~repack-1" yes "9.0~repack-1"
run_case other-version 1 "9.0~repack-1"

make_archive "$work/no-sums" "$version" yes
rm "$work/no-sums/"*.sha256
run_case no-sums 1 "no checksum file"

make_archive "$work/wrong-folder" "elsewhere" yes
run_case wrong-folder 1 "single folder"

make_archive "$work/unfinished" "$version" no
run_case unfinished 1 ".complete"

mkdir -p "$work/empty"
run_case empty 1 ""
run_case absent 1 ""

# A good archive replaces a stale, incomplete install of the same version.
mkdir -p "$work/good-install/$version/stale"
rm -rf "$work/good-install/$version/.complete"
unpack_wine_cache "$work/good" "$version" "$work/good-install" 2>/dev/null
check "a stale install is replaced whole" "no" "$([[ -e $work/good-install/$version/stale ]] && echo yes || echo no)"

# The build script's choice, for the installed wine's source version, in an install root of the test's own.
installed=$(dpkg-query -W -f='${source:Version}' wine 2>/dev/null || true)
if [[ -n $installed ]]; then
    version=$installed
    make_archive "$work/script-good" "$version" yes
    cp -r "$work/script-good" "$work/script-damaged"
    printf 'X' | dd of="$(wine_cache_archive "$work/script-damaged" "$version")" bs=1 seek=100 conv=notrunc status=none
    plan() { ROLLIX_WINE_WOW64_ROOT=$work/script-root ROLLIX_WINE_WOW64_CACHE=$1 bash "$2" --plan 2>"$work/plan.err"; }
    check "the script unpacks a good archive" "unpack $(wine_cache_archive "$work/script-good" "$version")" \
        "$(plan "$work/script-good" "$2")"
    check "the script builds when the archive is damaged" "build" "$(plan "$work/script-damaged" "$2")"
    check "and says why" "yes" "$(grep -q 'checksum of' "$work/plan.err" && echo yes)"
    check "the script builds with the cache hidden" "build" "$(plan "$work/hidden" "$2")"
else
    echo "wine is not installed: the build script's choice was not checked"
fi

((failures == 0)) && echo "all passed"
exit $((failures > 0))
