#!/bin/bash
# Sets up a fresh machine when needed, builds Nimbora and its tests, and runs
# every test under Wine with one Xvfb and one warm wineserver for the whole run.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
. "$here/env.sh"
build="${NIMBORA_BUILD:-$NIMBORA_DEFAULT_BUILD}"
jobs="${NIMBORA_JOBS:-$(nproc)}"

cmake -S "$NIMBORA_ROOT" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$NIMBORA_TOOLCHAIN" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$here/wine-run.sh" >/dev/null
cmake --build "$build" -j"$jobs"

wine_env
export XDG_DATA_HOME_NIMBORA="$build/xdg-data"
. "$here/xvfb.sh"
if [ -z "${DISPLAY:-}" ]; then start_xvfb; fi
wineserver -p
# Start Wine's services now, away from CTest's output pipes, which they would hold open.
wine wineboot.exe >/dev/null 2>&1 </dev/null
cleanup() { wineserver -k 2>/dev/null || true; stop_xvfb; }
trap cleanup EXIT
# Heap checking slows Wine down many times: give each script more time.
if [ -n "${NIMBORA_WINEDEBUG:-}" ]; then export NIMBORA_SCRIPT_TIMEOUT=300000; fi
ctest --test-dir "$build" --output-on-failure --timeout 900 -j"$jobs" "$@"
