#!/bin/bash
# The first widget of the guide, written from its text alone, run as its
# reader would run it: the name from its ".config" greets, the timer counts,
# the menu item tells both, and the labels draw on the window. The screenshot
# stays in the check's folder (first.png).
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA/../../docs/examples/widgets/first"
gui_config_write "$stage/widget/first/first.config" 'mainWindow/top=300' 'mainWindow/left=300' 'Settings/userName=Taro'
gui_start "$stage" -s 'widget\first\first.xml'
window=$(gui find --class TSkinForm --visible --timeout 15000) || gui_fail "no widget window"
sleep 3
# The greeting's white letters on the blue panel.
gui_bright "$window" 10 8 120 20 || gui_fail "the greeting drew no white letters"
gui_screenshot "$GUI_WORK/first.png"
echo "screenshot: $GUI_WORK/first.png"

# The menu's first entry is the widget's own.
gui click 100 30 --window "$window" --button right && sleep 0.5 && gui key down enter
text=$(gui msgbox --title Nimbora --timeout 10000) || gui_fail "no box from the menu item"
[[ "$text" =~ ^Hello,\ Taro!\ Running\ for\ ([0-9]+)\ s$ ]] || gui_fail "the box said: $text"
(( BASH_REMATCH[1] >= 2 )) || gui_fail "the timer counted ${BASH_REMATCH[1]} s in 3 s"
gui press --title Nimbora OK
gui_kill "$GUI_PID"
echo "first widget: every check passed"
