#!/bin/bash
# Prepares a Debian 12 machine to build and test Nimbora: the cross toolchains,
# Wine and Xvfb, the cross-built libraries and a Wine prefix. Idempotent: each
# step checks what is already there and skips it.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/env.sh"

log() { echo "setup: $*"; }

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# ==== Debian packages ====
# Both cross toolchains: the tests run one program and CI builds the other.
packages=(cmake make g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          gcc-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev dpkg-dev xz-utils bzip2
          ca-certificates)
# What running the tests takes besides; 32-bit Wine only where 32-bit code runs.
run_packages=(wine wine64 xvfb xauth python3 googletest fonts-ipafont-gothic locales duktape mujs
              imagemagick openssl curl python3-pyftpdlib python3-aiosmtpd)

choose_packages() {
    [ "$build_only" = 1 ] && return
    packages+=("${run_packages[@]}")
    [ "$NIMBORA_ARCH" = i686 ] || return 0
    if ! runs_32bit_code; then
        echo "setup: this machine runs no 32-bit code: build the 32-bit program with scripts/build.sh i686; the tests run the 64-bit one" >&2
        exit 1
    fi
    packages+=(wine32:i386)
}

missing_packages() {
    local p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || echo "$p"
    done
}

# A mirror being re-synced fails one index now and then: try a few times, then
# go on with the lists there are; the install says what they cannot offer.
apt_update() {
    local try
    for try in 1 2 3; do
        as_root apt-get update -qq && return 0
        [ "$try" = 3 ] || { log "apt-get update failed, trying again"; sleep 5; }
    done
    log "apt-get update failed three times; going on with the package lists there are"
}

install_packages() {
    local missing p failed=0 why
    missing="$(missing_packages)"
    [ -z "$missing" ] && { log "packages present"; return; }
    if [[ " $missing " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    log "installing: $(echo $missing)"
    apt_update && rm -f "$NIMBORA_CACHE/.apt-update-needed"
    # shellcheck disable=SC2086
    as_root apt-get install -y -qq --no-install-recommends $missing >/dev/null 2>&1 && return
    # One package that cannot be had fails the whole batch: install the rest one
    # by one, and name each that still fails with apt's reason.
    for p in $missing; do
        why="$(as_root apt-get install -y -qq --no-install-recommends "$p" 2>&1 >/dev/null)" && continue
        failed=1
        if apt-cache policy "$p" 2>/dev/null | grep -q 'Candidate: (none)' ||
           [ -z "$(apt-cache policy "$p" 2>/dev/null)" ]; then
            why="no package list offers it (was apt-get update refused?)"
        else
            why="$(grep -m1 '^E:' <<<"$why" || echo 'apt-get failed')"
        fi
        echo "setup: cannot install $p: $why" >&2
    done
    [ "$failed" = 0 ] || exit 1
}

# Source packages of the libraries come from the main archive's deb-src.
ensure_deb_src() {
    local list=/etc/apt/sources.list.d/nimbora-src.sources
    [ -f "$list" ] && return
    as_root tee "$list" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    touch "$NIMBORA_CACHE/.apt-update-needed"
}

# Wine takes its ANSI code page (932) from the ja_JP.UTF-8 locale.
ensure_locale() {
    locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' && return
    log "generating ja_JP.UTF-8"
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
        echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
}

# ==== Cross-built libraries ====
# Each library is built once per upstream version into $NIMBORA_DEPS.
deps=(pcre2 libxml2 libpng1.6 libjpeg-turbo giflib)

source_version() {
    apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/{print $2; exit}'
}

fetch_source() {  # name -> prints the path of the unpacked upstream tree
    local name=$1 dir="$NIMBORA_CACHE/src/$1"
    mkdir -p "$dir"
    if ! ls "$dir"/*.orig.tar.* >/dev/null 2>&1; then
        (cd "$dir" && apt-get source --download-only "$name" >/dev/null 2>&1) || true
        ls "$dir"/*.orig.tar.* >/dev/null 2>&1 || { echo "setup: cannot fetch source of $name" >&2; exit 1; }
    fi
    local tarball
    tarball="$(ls "$dir"/*.orig.tar.* | grep -v '\.asc$' | head -n1)"
    rm -rf "$dir/tree" && mkdir -p "$dir/tree"
    tar -xf "$tarball" -C "$dir/tree" --strip-components=1
    echo "$dir/tree"
}

cmake_dep() {  # source tree, extra options...
    local src=$1; shift
    cmake -S "$src" -B "$src/_build" -DCMAKE_TOOLCHAIN_FILE="$NIMBORA_TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$NIMBORA_DEPS" \
        -DCMAKE_PREFIX_PATH="$NIMBORA_DEPS" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
    cmake --build "$src/_build" -j"$(nproc)" >/dev/null
    cmake --install "$src/_build" >/dev/null
}

build_pcre2() {
    cmake_dep "$1" -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SUPPORT_UNICODE=ON
}
build_libpng1.6() {
    cmake_dep "$1" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_TOOLS=OFF \
        -DZLIB_ROOT="/usr/$NIMBORA_TRIPLET"
}
build_libjpeg-turbo() {
    cmake_dep "$1" -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF
}
build_libxml2() {
    (cd "$1" && ./configure --host="$NIMBORA_TRIPLET" --prefix="$NIMBORA_DEPS" --without-iconv \
        --without-zlib --without-lzma --without-http --without-ftp --without-python \
        --disable-shared --enable-static >/dev/null && make -j"$(nproc)" >/dev/null && make install >/dev/null)
}
build_giflib() {
    local src=$1 obj="$1/_obj"
    mkdir -p "$obj" "$NIMBORA_DEPS/include" "$NIMBORA_DEPS/lib"
    local f
    for f in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize; do
        [ -f "$src/$f.c" ] && "$NIMBORA_TRIPLET-gcc-posix" -O2 -c "$src/$f.c" -I"$src" -o "$obj/$f.o"
    done
    rm -f "$NIMBORA_DEPS/lib/libgif.a"
    "$NIMBORA_TRIPLET-ar" rcs "$NIMBORA_DEPS/lib/libgif.a" "$obj"/*.o
    cp "$src/gif_lib.h" "$NIMBORA_DEPS/include/"
}

build_deps() {
    if [ -f "$NIMBORA_CACHE/.apt-update-needed" ]; then
        apt_update && rm -f "$NIMBORA_CACHE/.apt-update-needed"
    fi
    mkdir -p "$NIMBORA_DEPS/stamps"
    local name version stamp src
    for name in "${deps[@]}"; do
        version="$(source_version "$name")"
        [ -n "$version" ] || { apt_update; version="$(source_version "$name")"; }
        [ -n "$version" ] || { echo "setup: cannot build $name: no source package list offers it" >&2; exit 1; }
        stamp="$NIMBORA_DEPS/stamps/$name-$version"
        [ -f "$stamp" ] && continue
        log "building $name $version"
        src="$(fetch_source "$name")"
        # The libraries' own warnings are theirs: kept in a log, shown on failure.
        # (In the background, so that set -e still holds inside the build.)
        "build_$name" "$src" >"$NIMBORA_DEPS/$name.log" 2>&1 &
        if ! wait $!; then
            tail -n 20 "$NIMBORA_DEPS/$name.log" >&2
            echo "setup: cannot build $name (log: $NIMBORA_DEPS/$name.log)" >&2
            exit 1
        fi
        rm -rf "$src"
        touch "$stamp"
    done
    log "libraries present"
}

# ==== Wine prefix ====
# Bump when the prefix's settings change, so existing prefixes get them too.
prefix_version="3-$NIMBORA_ARCH"

make_prefix() {
    local stamp="$WINEPREFIX/.nimbora-ready"
    if [ "$(cat "$stamp" 2>/dev/null)" = "$prefix_version" ]; then log "wine prefix present"; return; fi
    log "preparing wine prefix $WINEPREFIX"
    # A prefix of ours for the other architecture cannot be converted.
    [ -f "$stamp" ] && rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wine_env
    wineboot -i >/dev/null 2>&1 || true
    # Without a window manager every destroyed window would otherwise cost 2 s.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    # A crashing test ends with a report instead of waiting in a crash dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    echo "$prefix_version" > "$stamp"
}

build_only=0
[ "${1:-}" = --build-only ] && build_only=1
choose_packages
ensure_deb_src
install_packages
build_deps
[ "$build_only" = 1 ] && exit 0
ensure_locale
make_prefix
