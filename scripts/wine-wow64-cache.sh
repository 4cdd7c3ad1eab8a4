# Sourced by build-wine-wow64.sh: installs the WoW64 Wine from a prebuilt archive instead of building it, when one
# for exactly this source version lies in the cache folder (../shared/cache beside a checkout that has it). Seconds
# instead of the better part of an hour; anything doubtful is refused and the caller builds.
#
# The archive is rollix-wine-wow64-<version>.tar.zst with its sha256sum line in <archive>.sha256, and unpacks to one
# folder named <version>, the install with its .complete stamp.

# wine_cache_archive CACHE_DIR VERSION: the archive's path for that source version.
wine_cache_archive() {
    printf '%s/rollix-wine-wow64-%s.tar.zst' "$1" "$2"
}

# check_wine_cache CACHE_DIR VERSION: returns 0 when the archive for VERSION is there, whole and of that version;
# otherwise says why it is refused (nothing at all when the cache has no archive) and returns 1.
check_wine_cache() {
    local cache=$1 version=$2
    local archive sums expected actual top
    archive=$(wine_cache_archive "$cache" "$version")
    sums=$archive.sha256
    [[ -d $cache ]] || return 1
    if [[ ! -f $archive ]]; then
        local others
        others=$(cd "$cache" && ls rollix-wine-wow64-*.tar.zst 2>/dev/null | tr '\n' ' ')
        [[ -z $others ]] || echo "wine cache: refused: it holds ${others% }, not the installed wine's source version $version" >&2
        return 1
    fi
    if [[ ! -f $sums ]]; then
        echo "wine cache: refused: $archive has no checksum file $sums" >&2
        return 1
    fi
    expected=$(awk 'NR == 1 { print $1 }' "$sums")
    actual=$(sha256sum "$archive" | awk '{ print $1 }')
    if [[ ! $expected =~ ^[0-9a-f]{64}$ || $expected != "$actual" ]]; then
        echo "wine cache: refused: the checksum of $archive does not match $sums (damaged or replaced)" >&2
        return 1
    fi
    command -v zstd >/dev/null || { echo "wine cache: refused: zstd is not installed" >&2; return 1; }
    # The archive must hold exactly the one folder this version installs to, and nothing outside it.
    top=$(zstd -dc "$archive" | tar -t 2>/dev/null | awk -F/ '{ print $1 }' | sort -u) || true
    if [[ $top != "$version" ]]; then
        echo "wine cache: refused: $archive does not unpack to the single folder $version" >&2
        return 1
    fi
}

# unpack_wine_cache CACHE_DIR VERSION INSTALL_ROOT: checks the archive, unpacks it into INSTALL_ROOT/VERSION and
# returns 0, or says why it was refused and returns 1, leaving no partial install.
unpack_wine_cache() {
    local cache=$1 version=$2 install_root=$3 archive staging
    check_wine_cache "$cache" "$version" || return 1
    archive=$(wine_cache_archive "$cache" "$version")
    mkdir -p "$install_root" || return 1
    # Unpacked beside the install and moved into place whole: an interrupted unpack never looks installed.
    staging=$(mktemp -d "$install_root/.unpack.XXXXXX") || return 1
    if ! zstd -dc "$archive" | tar -x -C "$staging"; then
        rm -rf "$staging"
        echo "wine cache: refused: $archive could not be unpacked" >&2
        return 1
    fi
    if [[ ! -f $staging/$version/.complete ]]; then
        rm -rf "$staging"
        echo "wine cache: refused: $archive holds no completed install (.complete is missing)" >&2
        return 1
    fi
    rm -rf "${install_root:?}/$version"
    mv "$staging/$version" "$install_root/$version" && rm -rf "$staging"
}
