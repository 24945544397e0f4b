#!/bin/bash
# Sets up a fresh machine when needed, builds Nimbora and starts it with the
# clock widget from a program folder staged in the build folder ("run"). With
# a display the program keeps running until it is ended from its menu;
# without one it runs in a private Xvfb, a screenshot is saved and it ends.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
. "$here/env.sh"
build="${NIMBORA_BUILD:-$NIMBORA_DEFAULT_BUILD}"
cmake -S "$NIMBORA_ROOT" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$NIMBORA_TOOLCHAIN" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$here/wine-run.sh" >/dev/null
cmake --build "$build" -j"$(nproc)" --target nimbora guikit

headless=0
[ -n "${DISPLAY:-}" ] || headless=1
export GUIKIT="$build/tests/gui/guikit.exe" GUI_PROGRAM="$build/host/app/nimbora.exe" GUI_WORK="$build/run"
export NIMBORA_EMULATOR="$here/wine-run.sh"
. "$NIMBORA_ROOT/tests/gui/guikit.sh"

stage="$GUI_WORK/program"
gui_stage "$stage" "$NIMBORA_ROOT/widgets/clock"
gui_start "$stage" -s 'widget\clock\clock.xml'
echo "run: started $stage/nimbora.exe -s widget\\clock\\clock.xml"
if [ "$headless" = 0 ]; then
    wait "$GUI_PID" || true
    exit 0
fi
gui find --class TMainForm --timeout 15000 >/dev/null || echo "run: the main form did not appear" >&2
sleep 3  # the clock ticks
gui_screenshot "$GUI_WORK/screenshot.png"
echo "run: screenshot saved to $GUI_WORK/screenshot.png"
