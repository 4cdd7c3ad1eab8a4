#!/usr/bin/env bash
# Builds the win32 and win64 presets and packs them into dist/: the release RollixPortable-<version>.zip
# (32-bit, for every Windows) and RollixPortable-<version>-64-bit-Windows-only.zip (the 64-bit build the tests
# run, which says so in its name and its readme.txt), after checking what goes in: the binaries' format,
# their imports and the 32-bit size budgets.
#
# Usage: scripts/package.sh [--strict] [--no-build]
#   --strict    fail when a 32-bit binary is over its size budget (otherwise only reported)
#   --no-build  package what build/<preset>/bin already holds
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
strict=0
build=1
for arg in "$@"; do
    case $arg in
        --strict) strict=1 ;;
        --no-build) build=0 ;;
        -h | --help) sed -n '2,9p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "package.sh: unknown option $arg" >&2; exit 2 ;;
    esac
done

fail() {
    echo "package.sh: $*" >&2
    exit 1
}

version=$(sed -n 's/^project(RollixPortable VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[[ -n "$version" ]] || fail "no project version in CMakeLists.txt"

binaries=(RollixPortable.exe RollixHook.dll RollixConfig.exe)
# 32-bit size budgets in bytes. The hook library's carries the rules, their built-in table, the inspector and
# smoothing; the editor's its rules dialogs and the smoothing rows.
declare -A budget=([RollixPortable.exe]=$((64 * 1024)) [RollixHook.dll]=$((64 * 1024)) [RollixConfig.exe]=$((72 * 1024)))
# The Windows DLLs a binary may import (lower case); the program also imports the hook library.
system_dlls=" kernel32.dll user32.dll gdi32.dll shell32.dll comctl32.dll advapi32.dll msvcrt.dll ntdll.dll
 ole32.dll oleaut32.dll shlwapi.dll comdlg32.dll version.dll uxtheme.dll winmm.dll psapi.dll "

missing=()
command -v zip >/dev/null || missing+=(zip)
command -v unzip >/dev/null || missing+=(unzip)
if ((${#missing[@]})); then
    echo "installing ${missing[*]}"
    sudo=
    [[ $(id -u) -eq 0 ]] || sudo=sudo
    $sudo apt-get install -y "${missing[@]}" >/dev/null ||
        { $sudo apt-get update >/dev/null && $sudo apt-get install -y "${missing[@]}" >/dev/null; } ||
        fail "could not install ${missing[*]}"
fi
objdump=objdump
command -v x86_64-w64-mingw32-objdump >/dev/null && objdump=x86_64-w64-mingw32-objdump

# check_binary <file> <arch>: the PE format of the arch, and only allowed imports.
check_binary() {
    local file=$1 arch=$2 name format dll
    name=$(basename "$file")
    format=$("$objdump" -f "$file" | sed -n 's/.*file format \(.*\)/\1/p')
    case $arch in
        win32) [[ $format == pei-i386 ]] || fail "$name ($arch) is $format, not PE32 (pei-i386)" ;;
        win64) [[ $format == pei-x86-64 ]] || fail "$name ($arch) is $format, not PE32+ (pei-x86-64)" ;;
    esac
    if command -v file >/dev/null; then
        local kind
        kind=$(file -b "$file")
        case $arch in
            win32) [[ $kind == "PE32 "* ]] || fail "$name ($arch): file says $kind" ;;
            win64) [[ $kind == "PE32+ "* ]] || fail "$name ($arch): file says $kind" ;;
        esac
    fi
    while read -r dll; do
        dll=${dll,,}
        [[ -z $dll ]] && continue
        if [[ $system_dlls == *" $dll "* ]]; then
            continue
        fi
        if [[ $name == RollixPortable.exe && $dll == rollixhook.dll ]]; then
            continue
        fi
        fail "$name ($arch) imports $dll, which is not a Windows system DLL"
    done < <("$objdump" -p "$file" | sed -n 's/^\s*DLL Name: \(.*\)$/\1/p')
}

mkdir -p "$root/dist"
over_budget=0
for arch in win32 win64; do
    if [[ $build -eq 1 ]]; then
        (cd "$root" && cmake --preset "$arch" >/dev/null && cmake --build --preset "$arch") ||
            fail "the $arch build failed"
    fi
    bin=$root/build/$arch/bin
    for binary in "${binaries[@]}"; do
        [[ -f $bin/$binary ]] || fail "$bin/$binary is missing"
        check_binary "$bin/$binary" "$arch"
    done

    if [[ $arch == win32 ]]; then
        echo "32-bit sizes against their budgets:"
        for binary in "${binaries[@]}"; do
            size=$(stat -c %s "$bin/$binary")
            limit=${budget[$binary]}
            verdict=ok
            if ((size > limit)); then
                verdict="OVER BUDGET"
                over_budget=1
            fi
            printf '  %-20s %7d bytes (%3d KiB) of %3d KiB  %s\n' "$binary" "$size" $(((size + 1023) / 1024)) \
                $((limit / 1024)) "$verdict"
        done
        ((over_budget && strict)) && fail "a 32-bit binary is over its size budget: nothing packaged"
    fi

    stage=$(mktemp -d)
    cp "${binaries[@]/#/$bin/}" "$stage/"
    readme=("$root/packaging/readme.txt")
    archive=$root/dist/RollixPortable-$version.zip
    if [[ $arch == win64 ]]; then
        readme=("$root/packaging/readme-64bit.txt" "${readme[@]}")
        archive=$root/dist/RollixPortable-$version-64-bit-Windows-only.zip
    fi
    # Windows line ends, so that every Notepad shows the lines apart.
    sed 's/\r\{0,1\}$/\r/' "${readme[@]}" > "$stage/readme.txt"
    rm -f "$archive"
    (cd "$stage" && zip -q -X "$archive" "${binaries[@]}" readme.txt)
    rm -rf "$stage"

    expected=$(printf '%s\n' "${binaries[@]}" readme.txt | sort)
    actual=$(unzip -Z1 "$archive" | sort)
    [[ "$actual" == "$expected" ]] || fail "$archive holds:"$'\n'"$actual"
    unzip -tq "$archive" >/dev/null || fail "$archive does not test clean"
    echo "created dist/$(basename "$archive") ($(stat -c %s "$archive") bytes)"
done

if ((over_budget)); then
    echo "warning: a 32-bit binary is over its size budget (fails with --strict)"
fi
