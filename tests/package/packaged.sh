#!/bin/bash
# The packaged program started from its own folder under Wine, as a user
# would start it: the first nimbora.config loads the clock, whose window
# appears and draws its white time. Run by scripts/package.sh:
# packaged.sh FOLDER GUIKIT. The screenshot stays beside the folder.
set -euo pipefail
folder=$1
export GUIKIT=$2 GUI_PROGRAM="$folder/nimbora.exe" GUI_WORK="$folder.check"
export NIMBORA_EMULATOR="$(cd "$(dirname "$0")/../../scripts" && pwd)/wine-run.sh"
. "$(dirname "$0")/../gui/guikit.sh"

# A copy, so that the program's own writes (the widget list, positions) stay
# out of the folder that is zipped.
cp -r "$folder" "$GUI_WORK/program"
gui_start "$GUI_WORK/program"
window=$(gui find --class TSkinForm --visible --timeout 20000) || gui_fail "no clock window"
sleep 2
gui_bright "$window" 10 6 160 34 || gui_fail "the clock drew no time"
gui_screenshot "$GUI_WORK/clock.png"
echo "packaged: the clock runs from $folder (screenshot $GUI_WORK/clock.png)"
gui_kill "$GUI_PID"
