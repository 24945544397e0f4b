# Shared settings of the build and test scripts (sourced, not run).
NIMBORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
NIMBORA_CACHE="${NIMBORA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/nimbora}"
mkdir -p "$NIMBORA_CACHE"

# The program is 32-bit. A kernel that runs no 32-bit user code (IA-32
# emulation off) cannot start 32-bit Wine: there the build and the tests are
# 64-bit, under wine64. NIMBORA_ARCH (i686 or x86_64) overrides the probe.
nimbora_arch() {
    if [ -n "$NIMBORA_ARCH_USER" ]; then NIMBORA_ARCH=$NIMBORA_ARCH_USER
    elif [ ! -e /lib/ld-linux.so.2 ] || /lib/ld-linux.so.2 --version >/dev/null 2>&1; then NIMBORA_ARCH=i686
    else NIMBORA_ARCH=x86_64
    fi
    export NIMBORA_TRIPLET="$NIMBORA_ARCH-w64-mingw32"
    if [ "$NIMBORA_ARCH" = i686 ]; then
        export NIMBORA_DEPS="$NIMBORA_CACHE/deps" WINEARCH=win32
        NIMBORA_DEFAULT_BUILD="$NIMBORA_ROOT/build"
    else
        export NIMBORA_DEPS="$NIMBORA_CACHE/deps-$NIMBORA_ARCH" WINEARCH=win64
        NIMBORA_DEFAULT_BUILD="$NIMBORA_ROOT/build-$NIMBORA_ARCH"
        # /usr/bin/wine prefers the 32-bit loader whenever it is installed.
        export WINELOADER=/usr/lib/wine/wine64
        wine() { /usr/lib/wine/wine64 "$@"; }
        wineboot() { /usr/lib/wine/wine64 wineboot.exe "$@"; }
    fi
    NIMBORA_TOOLCHAIN="$NIMBORA_ROOT/cmake/mingw-$NIMBORA_ARCH.cmake"
}
NIMBORA_ARCH_USER="${NIMBORA_ARCH:-}"
nimbora_arch
export WINEPREFIX="${NIMBORA_WINEPREFIX:-$NIMBORA_CACHE/wineprefix}"

# The environment of every Wine run: code page 932 comes from the Japanese locale.
wine_env() {
    export WINEDEBUG="${NIMBORA_WINEDEBUG:--all}"
    # The heap checker sees only the plain heap's blocks: the programs then leave
    # their small-object heap unused.
    if [[ "$WINEDEBUG" == *heap* ]]; then export NIMBORA_PLAIN_HEAP=1; fi
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL=ja_JP.UTF-8
}
