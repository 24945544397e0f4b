#!/bin/bash
# Runs one Windows program under Wine with the project's environment: its own
# prefix, code page 932, and an X display (a private Xvfb when none is set).
# Used by CTest as the emulator of every test executable.
set -euo pipefail
. "$(dirname "$0")/env.sh"
wine_env
export XDG_DATA_HOME="${XDG_DATA_HOME_NIMBORA:-$NIMBORA_CACHE/xdg-data}"
mkdir -p "$XDG_DATA_HOME"

if [ -z "${DISPLAY:-}" ]; then
    . "$(dirname "$0")/xvfb.sh"
    start_xvfb
    trap stop_xvfb EXIT
fi
wine "$@"
