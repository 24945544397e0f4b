#!/bin/bash
# The system monitor with an interval of one second: its four rows draw their
# white figures, the memory bar its green, and the bars follow the figures.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA/../../widgets/monitor"
gui_config_write "$stage/widget/monitor/monitor.config" 'monitorWindow/top=300' 'monitorWindow/left=300' \
    'Settings/interval=1'
gui_start "$stage" -s 'widget\monitor\monitor.xml'
window=$(gui find --class TSkinForm --visible --timeout 15000) || gui_fail "no monitor window"
sleep 3
for top in 5 31 57 83; do
    gui_bright "$window" 10 $top 180 15 || gui_fail "the row at $top drew no figures"
done
# Some memory is always in use: the bar's green (80, 200, 120, through the window's transparency of 220) starts the row.
px=$(gui pixels "$window" 11 48 | tr -d "\r"); [[ $px == *dc44ab67* ]] || gui_fail "no memory bar: $px"
gui_screenshot "$GUI_WORK/monitor.png"
echo "screenshot: $GUI_WORK/monitor.png"
gui_kill "$GUI_PID"
echo "monitor: every check passed"
