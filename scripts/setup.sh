#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian 12. Quiet, and touches nothing, when all is there.
#
# Usage: scripts/setup.sh [--wine-build]
#   --wine-build  also what building Wine's WoW64 mode from Debian's source needs (scripts/build-wine-wow64.sh)
set -euo pipefail

packages=(
    cmake ninja-build g++ file clang-tidy
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
    googletest
    # 64-bit Wine only: the Windows tests are 64-bit builds, and the 32-bit build is checked, never run.
    wine wine64
    xvfb xdotool x11-utils imagemagick
    python3 zip
    # Unpacks the prebuilt WoW64 Wine of ../shared/cache.
    zstd
)

# Building Wine from Debian's source, in its WoW64 mode: 32-bit Windows code in 64-bit Linux processes. The i386
# architecture and wine32 are neither needed nor wanted: these machines cannot run 32-bit Linux code.
wine_build_packages=(
    dpkg-dev make gcc autoconf flex bison pkg-config libgettextpo-dev
    gcc-mingw-w64-i686 gcc-mingw-w64-x86-64 libz-mingw-w64-dev
    libx11-dev libxext-dev libxrender-dev libxrandr-dev libxi-dev libxcursor-dev libxfixes-dev libxinerama-dev
    libxcomposite-dev libfreetype-dev libfontconfig-dev
    # What Debian's build regenerates the repacked-out files with.
    icoutils librsvg2-bin imagemagick fontforge-nox khronos-api unicode-data libxml-libxml-perl libvulkan-dev
)

for arg in "$@"; do
    case $arg in
        --wine-build) packages+=("${wine_build_packages[@]}") ;;
        -h | --help) sed -n '2,5p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "setup.sh: unknown option $arg" >&2; exit 2 ;;
    esac
done

# dpkg-query fails for packages it has never heard of; those simply count as missing.
installed=" $({ dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null || true; } |
    awk '/ install ok installed$/ { printf "%s ", $1 }') "
missing=()
for package in "${packages[@]}"; do
    [[ "$installed" == *" $package "* ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "setup.sh: needs root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
echo "setup.sh: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
# With their recommended packages: Wine draws menus and check marks with the fonts it recommends. Its 32-bit half,
# also recommended, cannot be installed without the i386 architecture and is skipped.
"${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
