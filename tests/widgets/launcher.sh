#!/bin/bash
# The launcher with a folder and a program in its settings: it draws both
# icons (the folder's yellow, the program's blue title bar) and their names,
# and a click on an icon or on its name opens its entry: the folder in a
# file browser, the program in its own window.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA/../../widgets/launcher"
gui_config_write "$stage/widget/launcher/launcher.config" 'launcherWindow/top=900' 'launcherWindow/left=1000' \
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

# opens X Y CLASS [TITLE]: a click there opens a window of that class (and
# title), which is closed. The launcher sits at the bottom right of the
# screen, where the opened windows do not cover it.
opens() {
    gui click "$1" "$2" --window "$window"
    local opened which=(--class "$3")
    [ $# -lt 4 ] || which+=(--title "$4")
    opened=$(gui find "${which[@]}" --visible --timeout 15000) || gui_fail "a click at $1,$2 opened no $3"
    gui post "$opened" 0x10  # WM_CLOSE
    gui wait "$opened" gone --timeout 10000 || gui_fail "the $3 window stayed"
}
opens 20 20 ExplorerWClass windows        # the folder's icon
opens 24 46 ExplorerWClass windows        # its name
opens 58 20 Notepad                       # the program's icon
opens 62 46 Notepad                       # its name
gui_kill "$GUI_PID"
echo "launcher: every check passed"
