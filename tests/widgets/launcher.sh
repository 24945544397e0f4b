#!/bin/bash
# The launcher with a folder and a program in its settings: it draws both
# icons (the folder's yellow, the program's blue title bar) and their names.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA/../../widgets/launcher"
gui_config_write "$stage/widget/launcher/launcher.config" 'launcherWindow/top=300' 'launcherWindow/left=300' \
    "Settings/entries=Windows=C:\\windows"$'\r\n'"Notepad=notepad.exe"
gui_start "$stage" -s 'widget\launcher\launcher.xml'
window=$(gui find --class TSkinForm --visible --timeout 15000) || gui_fail "no launcher window"
sleep 2
px=$(gui pixels "$window" 20 20 | tr -d "\r"); [[ $px == *dccea33c* ]] || gui_fail "no folder icon first: $px"
# (Colours through the window's transparency of 220: the blue's is its own.)
px=$(gui pixels "$window" 58 14 | tr -d "\r"); (( 0x${px:6:2} > 0x${px:2:2} + 64 )) || gui_fail "no program icon second: $px"
gui_bright "$window" 2 40 82 16 || gui_fail "no names under the icons"
gui_screenshot "$GUI_WORK/launcher.png"
echo "screenshot: $GUI_WORK/launcher.png"
gui_kill "$GUI_PID"
echo "launcher: every check passed"
