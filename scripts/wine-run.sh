#!/bin/bash
# Runs one Windows program under Wine with the project's environment: its own
# prefix, code page 932, and an X display (a private Xvfb when none is set).
# Used by CTest as the emulator of every test executable, with the file size
# limited when asked (below). Under heap checking
# (NIMBORA_WINEDEBUG=warn+heap) a heap complaint fails the run.
set -euo pipefail
here="$(dirname "$0")"
. "$here/env.sh"
. "$here/xvfb.sh"
wine_env
export XDG_DATA_HOME="${XDG_DATA_HOME_NIMBORA:-$NIMBORA_CACHE/xdg-data}"
mkdir -p "$XDG_DATA_HOME"

log=
cleanup() { [ -n "$log" ] && rm -f "$log"; stop_xvfb || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then start_xvfb; fi
# NIMBORA_FILE_LIMIT (KiB): the program's files end at that size, and a write
# past it fails as on a full disk (the signal that would end the program is
# ignored). The Wine server is started first, outside the limit: it saves the
# registry.
if [ -n "${NIMBORA_FILE_LIMIT:-}" ]; then
    wineserver -p5 2>/dev/null || true
    trap '' XFSZ
    ulimit -f "$NIMBORA_FILE_LIMIT"
fi

if [[ "$WINEDEBUG" != *heap* ]]; then
    wine "$@"
    exit
fi
log="$(mktemp)"
status=0
wine "$@" 2>"$log" || status=$?
cat "$log" >&2
if grep -qE '(err|warn):heap' "$log"; then
    echo "wine-run: the heap checker complained" >&2
    [ "$status" = 0 ] && status=1
fi
exit "$status"
