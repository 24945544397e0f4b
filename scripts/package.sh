#!/bin/bash
# The release folders: an optimised, stripped program for 32-bit and 64-bit
# Windows, each in dist/nimbora-ARCH with the sample widgets, a first
# nimbora.config that loads the clock, the guide and the licence notices of
# the libraries linked in, and zipped beside it. Prints the sizes, then starts
# the packaged 64-bit program from its folder under Wine and sees the clock
# (tests/package/packaged.sh).
#   package.sh [--tested] [ARCH...]   (ARCH: i686, x86_64; default both)
# With --tested (CI) no release tree is built: each folder gets, stripped, the
# program of that architecture's test build (build/, build-i686/: -O2 without
# assertions, the program the tests ran), and the check uses the test build's
# guikit. A release tree of its own costs CI a full optimised build each.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
dist="$root/dist"
tested=false
if [ "${1:-}" = --tested ]; then
    tested=true
    shift
fi
arches=("$@")
[ $# -gt 0 ] || arches=(i686 x86_64)
sources="${NIMBORA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/nimbora}/src"
mkdir -p "$dist"

# notices FOLDER: each library's licence, from the sources it was built from.
notices() {
    local folder=$1/licences
    mkdir -p "$folder"
    cp /usr/share/doc/libz-mingw-w64-dev/copyright "$folder/zlib.txt"
    tar -xOzf "$sources"/libjpeg-turbo/*.orig.tar.gz --wildcards '*/LICENSE.md' '*/README.ijg' >"$folder/libjpeg.txt"
    tar -xOzf "$sources"/libpng1.6/*.orig.tar.gz --wildcards '*/LICENSE' >"$folder/libpng.txt"
    tar -xOzf "$sources"/giflib/*.orig.tar.gz --wildcards '*/COPYING' >"$folder/giflib.txt"
    tar -xOzf "$sources"/pcre2/*.orig.tar.gz --wildcards '*/LICENCE' >"$folder/pcre2.txt"
    tar -xOJf "$sources"/libxml2/*.orig.tar.xz --wildcards '*/Copyright' >"$folder/libxml2.txt"
}

# layout ARCH BUILD: the folder and its zip.
layout() {
    local arch=$1 build=$2 folder="$dist/nimbora-$1"
    rm -rf "$folder" "$folder.zip" && mkdir -p "$folder/widget" "$folder/docs"
    cp "$build/host/app/nimbora.exe" "$folder/"
    "$arch-w64-mingw32-strip" "$folder/nimbora.exe"
    local widget
    for widget in clock note monitor feeds launcher order dropbox; do cp -r "$root/widgets/$widget" "$folder/widget/"; done
    python3 "$root/tests/gui/configfile.py" write "$folder/nimbora.config" 'widget1=widget\clock\clock.xml'
    cp -r "$root/docs/guide.md" "$root/docs/examples" "$folder/docs/"
    notices "$folder"
    (cd "$dist" && zip -qr "nimbora-$arch.zip" "nimbora-$arch")
}

# build_of ARCH: the build folder whose program is packed, built first
# unless it is the test build's.
build_of() {
    export NIMBORA_ARCH=$1
    . "$here/env.sh"
    if $tested; then
        build="$NIMBORA_DEFAULT_BUILD"
        [ -f "$build/host/app/nimbora.exe" ] || { echo "package: no tested program in $build" >&2; exit 1; }
        return
    fi
    bash "$here/setup.sh" --build-only
    build="$root/build-release-$1"
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$NIMBORA_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$here/wine-run.sh" >/dev/null
    cmake --build "$build" -j"${NIMBORA_JOBS:-$(nproc)}" --target nimbora guikit
}

for arch in "${arches[@]}"; do
    case "$arch" in
        i686 | x86_64) ;;
        *) echo "package: an architecture is i686 or x86_64, not '$arch'" >&2; exit 2 ;;
    esac
    build_of "$arch"
    layout "$arch" "$build"
    [ "$arch" != x86_64 ] || check_build="$build"
done

echo "package sizes$($tested && echo ' (the tested programs)'):"
for arch in "${arches[@]}"; do
    printf '  %-28s %8d bytes\n' "nimbora-$arch/nimbora.exe" "$(stat -c %s "$dist/nimbora-$arch/nimbora.exe")"
    printf '  %-28s %8d bytes\n' "nimbora-$arch.zip" "$(stat -c %s "$dist/nimbora-$arch.zip")"
done

[ -n "${check_build:-}" ] || exit 0
export NIMBORA_ARCH=x86_64
. "$here/env.sh"
bash "$root/tests/package/packaged.sh" "$dist/nimbora-x86_64" "$check_build/tests/gui/guikit.exe"
