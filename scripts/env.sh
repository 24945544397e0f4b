# Shared settings of the build and test scripts (sourced, not run).
NIMBORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
NIMBORA_CACHE="${NIMBORA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/nimbora}"
mkdir -p "$NIMBORA_CACHE"

# nimbora_arch [arch]: the program built and run. The tests run the 64-bit
# program under wine64, which every x86_64 machine runs, also one whose kernel
# runs no 32-bit code; the 32-bit program is built beside it (scripts/build.sh
# i686) and runs where 32-bit code does (NIMBORA_ARCH=i686).
nimbora_arch() {
    NIMBORA_ARCH=${1:-${NIMBORA_ARCH_USER:-x86_64}}
    case "$NIMBORA_ARCH" in
        i686 | x86_64) ;;
        *) echo "env: NIMBORA_ARCH is i686 or x86_64, not '$NIMBORA_ARCH'" >&2; return 1 ;;
    esac
    export NIMBORA_TRIPLET="$NIMBORA_ARCH-w64-mingw32"
    export NIMBORA_DEPS="$NIMBORA_CACHE/deps-$NIMBORA_ARCH"
    NIMBORA_TOOLCHAIN="$NIMBORA_ROOT/cmake/mingw-$NIMBORA_ARCH.cmake"
    export WINEPREFIX="${NIMBORA_WINEPREFIX:-$NIMBORA_CACHE/wineprefix-$NIMBORA_ARCH}"
    if [ "$NIMBORA_ARCH" = x86_64 ]; then
        NIMBORA_DEFAULT_BUILD="$NIMBORA_ROOT/build"
        export WINEARCH=win64
        # /usr/bin/wine prefers the 32-bit loader whenever it is installed.
        export WINELOADER=/usr/lib/wine/wine64
        wine() { /usr/lib/wine/wine64 "$@"; }
        wineboot() { /usr/lib/wine/wine64 wineboot.exe "$@"; }
    else
        NIMBORA_DEFAULT_BUILD="$NIMBORA_ROOT/build-i686"
        export WINEARCH=win32
        unset WINELOADER
        unset -f wine wineboot 2>/dev/null || true
    fi
}

# runs_32bit_code: whether this kernel runs 32-bit x86 code, asked of the
# smallest such program (an ELF that exits with 42), written here.
runs_32bit_code() {
    local probe rc=0
    probe="$(mktemp)"
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' >"$probe"
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$probe"
    printf '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >>"$probe"  # exit(42) through int 0x80
    chmod +x "$probe"
    "$probe" 2>/dev/null || rc=$?
    rm -f "$probe"
    [ "$rc" = 42 ]
}

NIMBORA_ARCH_USER="${NIMBORA_ARCH:-}"
nimbora_arch

# The environment of every Wine run: code page 932 comes from the Japanese locale.
wine_env() {
    export WINEDEBUG="${NIMBORA_WINEDEBUG:--all}"
    # The heap checker sees only the plain heap's blocks: the programs then leave
    # their small-object heap unused.
    if [[ "$WINEDEBUG" == *heap* ]]; then export NIMBORA_PLAIN_HEAP=1; fi
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL=ja_JP.UTF-8
}
