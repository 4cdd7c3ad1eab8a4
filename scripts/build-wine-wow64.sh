#!/usr/bin/env bash
# Builds Wine in its WoW64 mode (32-bit Windows code inside 64-bit Linux processes) from Debian's own source of the
# installed wine, and installs it under /opt/rollix-wine-wow64/<source version>. Does nothing when that install is
# there and complete. The 32-bit Windows tests run under it: these machines cannot run 32-bit Linux code, which
# Debian's wine32 needs.
#
# Usage: scripts/build-wine-wow64.sh [--print-dir | --plan]
#   --print-dir  only print the install folder for the installed wine's version (built or not)
#   --plan       only print what a run would do: "installed", "unpack ARCHIVE" or "build"
# Environment: ROLLIX_WINE_WOW64_ROOT (default /opt/rollix-wine-wow64), ROLLIX_WINE_WOW64_JOBS (default 2),
#   ROLLIX_WINE_WOW64_WORK (the build folder, default /var/tmp/rollix-wine-wow64-build; removed after a good build),
#   ROLLIX_WINE_WOW64_CACHE (a folder with a prebuilt install to unpack instead, default ../shared/cache beside the
#   checkout; see scripts/wine-wow64-cache.sh)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
install_root=${ROLLIX_WINE_WOW64_ROOT:-/opt/rollix-wine-wow64}
jobs=${ROLLIX_WINE_WOW64_JOBS:-2}
work_root=${ROLLIX_WINE_WOW64_WORK:-/var/tmp/rollix-wine-wow64-build}
cache_dir=${ROLLIX_WINE_WOW64_CACHE:-$root/../shared/cache}
print_dir=0
plan=0
for arg in "$@"; do
    case $arg in
        --print-dir) print_dir=1 ;;
        --plan) plan=1 ;;
        -h | --help) sed -n '2,13p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "build-wine-wow64.sh: unknown option $arg" >&2; exit 2 ;;
    esac
done

fail() {
    echo "build-wine-wow64.sh: $*" >&2
    exit 1
}
step() { printf '%s  %s\n' "$(date +%T)" "$*"; }

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)

# Keyed by the source version of the installed wine: its fonts are copied, and its source is what gets built.
((print_dir || plan)) || "$root/scripts/setup.sh"
version=$(dpkg-query -W -f='${source:Version}' wine 2>/dev/null) || fail "Debian's wine is not installed"
prefix=$install_root/$version
if ((print_dir)); then
    echo "$prefix"
    exit 0
fi

stamp=$prefix/.complete
is_complete() {
    [[ -f $stamp && -x $prefix/bin/wine && -x $prefix/bin/wineserver &&
        -f $prefix/lib/i386-windows/user32.dll && -f $prefix/lib/i386-windows/zlib1.dll &&
        -f $prefix/lib/x86_64-windows/zlib1.dll && -f $prefix/share/fonts/marlett.ttf ]]
}
source "$root/scripts/wine-wow64-cache.sh"
if ((plan)); then
    if is_complete; then
        echo installed
    elif check_wine_cache "$cache_dir" "$version"; then
        echo "unpack $(wine_cache_archive "$cache_dir" "$version")"
    else
        echo build
    fi
    exit 0
fi
is_complete && exit 0

"${sudo[@]}" mkdir -p "$install_root"
[[ -w $install_root ]] || "${sudo[@]}" chown "$(id -u):$(id -g)" "$install_root"

# One build at a time: another checkout's test run waits for this one and then finds the install complete.
exec 9>"$install_root/.lock"
if ! flock -n 9; then
    step "another Wine build is running; waiting for it"
    flock 9
fi
is_complete && exit 0

# A prebuilt install of exactly this version, checked, saves the build; a doubtful one is refused and built instead.
if [[ -d $cache_dir ]]; then
    step "looking for a prebuilt install in $cache_dir"
    if unpack_wine_cache "$cache_dir" "$version" "$install_root"; then
        if is_complete; then
            step "done in $((SECONDS / 60)) min: unpacked $(wine_cache_archive "$cache_dir" "$version") into $prefix"
            exit 0
        fi
        echo "wine cache: refused: the unpacked install in $prefix is incomplete" >&2
        rm -rf "$prefix"
    fi
    step "no usable prebuilt install: building from source"
fi

"$root/scripts/setup.sh" --wine-build

# The deb-src entry for the archive and suite the installed wine came from, unless apt knows that source already.
add_source_entry() {
    local line uri dist suite component entry file signed_by=""
    line=$(LC_ALL=C apt-cache policy wine | awk -v v="$version" '
        { candidate = ($1 == "***") ? $2 : $1 } candidate == v { found = 1; next }
        found && $2 ~ /^[a-z]+:\/\// { print $2, $3; exit }
        found && $1 !~ /^[0-9]+$/ { exit }')
    [[ -n $line ]] || fail "cannot tell which archive wine $version came from (apt-cache policy wine)"
    read -r uri dist <<<"$line"
    suite=${dist%%/*}
    component=${dist#*/}
    # Copy the archive's key setting: apt refuses two entries for one archive that name different keys.
    entry=$(apt-get indextargets "Site: $uri" "Release: $suite" "Component: $component" 'Target-Of: deb' |
        sed -n 's/^Sourcesentry: //p' | head -1)
    file=${entry%:*}
    if [[ $file == *.sources ]]; then
        signed_by=$(awk -v n="${entry##*:}" 'NR >= n && /^$/ { exit } NR >= n && sub(/^Signed-By: */, "") { print; exit }' "$file")
    elif [[ -n $file ]]; then
        signed_by=$(sed -n "${entry##*:}p" "$file" | sed -n 's/.*signed-by=\([^] ]*\).*/\1/p')
    fi
    step "adding the deb-src entry for $uri $suite $component"
    {
        printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n' "$uri" "$suite" "$component"
        if [[ -n $signed_by ]]; then
            printf 'Signed-By: %s\n' "$signed_by"
        fi
    } | "${sudo[@]}" tee /etc/apt/sources.list.d/rollix-wine-src.sources >/dev/null
    "${sudo[@]}" apt-get update -qq
}
has_source() { apt-cache showsrc wine 2>/dev/null | grep -qxF "Version: $version"; }
if ! has_source; then
    "${sudo[@]}" apt-get update -qq
    has_source || add_source_entry
fi

# The build takes half an hour of both cores: every step of it yields to other work on the machine.
renice -n 19 -p $$ >/dev/null
work=$work_root/$version
src=$work/wine
mkdir -p "$work"
if [[ ! -f $src/configure.ac ]]; then
    step "fetching Debian's source of wine $version"
    rm -rf "$src"
    (cd "$work" && apt-get source -qq --download-only "wine=$version" 2>&1 | grep -v '^W: Download is performed unsandboxed' || true)
    dsc=$(ls "$work"/wine_*.dsc 2>/dev/null | head -1)
    [[ -n $dsc ]] || fail "apt-get source wine=$version fetched nothing"
    dpkg-source --no-check -x "$dsc" "$src" >/dev/null
fi
cd "$src"

if [[ ! -f .regenerated ]]; then
    # Debian's repack leaves out generated files; regenerate them the way debian/rules does.
    step "regenerating what Debian's repack leaves out"
    ./debian/scripts/generate server/trace.generated make_requests
    ./debian/scripts/generate server/request.generated make_requests
    ./tools/make_unicode
    ./tools/make_requests
    (cd dlls/dsound && ./make_fir)
    (cd dlls/opengl32 && ./make_opengl)
    (cd dlls/winevulkan && ./make_vulkan -x /usr/share/vulkan/registry/vk.xml)
    ln -sf /usr/share/misc/config.sub tools
    ln -sf /usr/share/misc/config.guess tools
    # The icons these resources are drawn from at build time.
    while read -r target link; do
        ln -sf "$target" "$link"
    done <<'EOF'
../../dlls/user32/resources/oic_hand.svg dlls/display.drv16/oic_hand.svg
../../dlls/user32/resources/oic_bang.svg dlls/comctl32/idi_tt_warn_sm.svg
../../dlls/user32/resources/oic_note.svg dlls/comctl32/idi_tt_info_sm.svg
../../dlls/user32/resources/oic_hand.svg dlls/comctl32/idi_tt_error_sm.svg
../../dlls/shell32/resources/move.svg dlls/comctl32/idi_dragarrow.svg
../../dlls/shell32/resources/image.svg programs/regedit/bin.svg
../../dlls/shell32/resources/folder.svg programs/regedit/folder.svg
../../dlls/shell32/resources/document.svg programs/regedit/string.svg
../../dlls/shell32/resources/mycomputer.svg programs/regedit/computer.svg
../../dlls/shell32/resources/folder_open.svg programs/regedit/folderopen.svg
../../dlls/shell32/resources/window.svg programs/taskmgr/window.svg
../../dlls/shell32/resources/window.svg programs/taskmgr/windowsm.svg
../../dlls/shell32/resources/drive.svg dlls/comdlg32/hdisk.svg
../../dlls/shell32/resources/folder.svg dlls/comdlg32/folder.svg
../../dlls/shell32/resources/network.svg dlls/comdlg32/network.svg
../../dlls/shell32/resources/folder_open.svg dlls/comdlg32/folder2.svg
../../dlls/shell32/resources/disk_drive.svg dlls/comdlg32/floppy.svg
../../dlls/shell32/resources/optical_drive.svg dlls/comdlg32/cdrom.svg
EOF
    # Debian's zlib patch links the MinGW zlib instead of the bundled copy.
    rm -rf libs/zlib
    autoconf
    autoheader
    touch .regenerated
fi

if [[ ! -f Makefile ]]; then
    step "configuring (WoW64: i386 and x86_64 Windows code, 64-bit Linux only)"
    # Maintainer mode makes warnings errors; the MinGW and gcc of this Debian warn where Wine 8.0 did not expect.
    ./configure --prefix="$prefix" --enable-archs=i386,x86_64 --disable-tests --enable-maintainer-mode \
        --with-mingw --with-x --with-freetype --with-fontconfig \
        --without-alsa --without-capi --without-coreaudio --without-cups --without-dbus --without-gphoto \
        --without-gnutls --without-gssapi --without-gstreamer --without-krb5 --without-netapi --without-opencl \
        --without-opengl --without-osmesa --without-oss --without-pcap --without-pulse --without-sane --without-sdl \
        --without-udev --without-unwind --without-usb --without-v4l2 --without-vulkan \
        ZLIB_PE_LIBS=z CFLAGS="-O2 -Wno-error" CROSSCFLAGS="-O2 -Wno-error" >"$work/configure.log" 2>&1 ||
        { tail -20 "$work/configure.log" >&2; fail "configure failed (see $work/configure.log)"; }
fi

export VENDOR="Debian $version, WoW64 build for Rollix's tests"
step "building (about half an hour on 2 cores; log in $work/make.log)"
# Debian's makedep drops the dependencies on generated headers: those first.
if ! make -j"$jobs" include/all >"$work/make.log" 2>&1 ||
    ! make -j"$jobs" >>"$work/make.log" 2>&1; then
    grep -E 'error|Error' "$work/make.log" | tail -20 >&2
    fail "make failed (see $work/make.log)"
fi

step "installing into $prefix"
rm -rf "$prefix"
make install >"$work/install.log" 2>&1 || fail "make install failed (see $work/install.log)"
# Debian's paths: the PE libraries straight under lib/, the data (and so the fonts) under share/.
# Wine's PE user32 links MinGW's zlib1.dll, which Wine loads only from beside its own PE libraries and only when
# it carries Wine's builtin mark in its DOS stub: written there as Debian's libwine does at installation.
for arch in i686:i386 x86_64:x86_64; do
    zlib=/usr/${arch%:*}-w64-mingw32/lib/zlib1.dll
    {
        head -c 64 "$zlib"
        printf 'Wine builtin DLL'
        head -c 16 /dev/zero
        tail -c +97 "$zlib"
    } >"$prefix/lib/${arch#*:}-windows/zlib1.dll"
done
# Debian's build installs no fonts (fonts-wine does): the installed ones are the same version's.
mkdir -p "$prefix/share/fonts"
cp -a /usr/share/wine/fonts/. "$prefix/share/fonts/"
echo "wine $version, WoW64 (i386 and x86_64), built $(date -u +%FT%TZ)" >"$stamp"
is_complete || fail "the install in $prefix is incomplete"

cd /
rm -rf "$work"
step "done in $((SECONDS / 60)) min: $prefix ($(du -sh "$prefix" | cut -f1))"
