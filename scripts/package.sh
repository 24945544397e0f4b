#!/bin/bash
# The release folders: an optimised, stripped program for 32-bit and 64-bit
# Windows, each in dist/nimbora-ARCH with the sample widgets, a first
# nimbora.config that loads the clock, the guide and the licence notices of
# the libraries linked in, and zipped beside it. Prints the sizes, then starts
# the packaged 64-bit program from its folder under Wine and sees the clock
# (tests/package/packaged.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
dist="$root/dist"
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

for arch in i686 x86_64; do
    export NIMBORA_ARCH=$arch
    bash "$here/setup.sh" --build-only
    . "$here/env.sh"
    build="$root/build-release-$arch"
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$NIMBORA_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$here/wine-run.sh" >/dev/null
    cmake --build "$build" -j"${NIMBORA_JOBS:-$(nproc)}" --target nimbora guikit
    layout "$arch" "$build"
done

echo "package sizes:"
for arch in i686 x86_64; do
    printf '  %-28s %8d bytes\n' "nimbora-$arch/nimbora.exe" "$(stat -c %s "$dist/nimbora-$arch/nimbora.exe")"
    printf '  %-28s %8d bytes\n' "nimbora-$arch.zip" "$(stat -c %s "$dist/nimbora-$arch.zip")"
done

export NIMBORA_ARCH=x86_64
. "$here/env.sh"
bash "$root/tests/package/packaged.sh" "$dist/nimbora-x86_64" "$root/build-release-x86_64/tests/gui/guikit.exe"
