# Shared settings of the build and test scripts (sourced, not run).
NIMBORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
NIMBORA_CACHE="${NIMBORA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/nimbora}"
export NIMBORA_DEPS="$NIMBORA_CACHE/deps"
export WINEPREFIX="${NIMBORA_WINEPREFIX:-$NIMBORA_CACHE/wineprefix}"
export WINEARCH=win32
mkdir -p "$NIMBORA_CACHE"

# The environment of every Wine run: code page 932 comes from the Japanese locale.
wine_env() {
    export WINEDEBUG="${NIMBORA_WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL=ja_JP.UTF-8
}
