#!/bin/bash
# The bar controls of a widget script's form under the real mouse: a tab
# clicked changes the page, the tool button (read back through its bar
# first) reaches its onClick, and a click on the up-down's upper arrow steps
# it once: the arrow lets go with the button, with no repeat after it.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA/gui/bars"
gui_start "$stage" -s 'widget\bars\bars.xml'
form=$(gui find --title "Bars form" --visible --timeout 10000) || gui_fail "no form"
# The points the script left in its edit: "at TABX TABY TOOLX TOOLY UPX UPY".
where() { gui controls "$form" | tr -d '\r' | awk -F'\t' '$4 ~ /^at / { print $4; exit }'; }
gui_wait_for 10 test -n "$(where)" || gui_fail "no points from the script"
read -r _ tab_x tab_y tool_x tool_y up_x up_y <<<"$(where)"
gui click "$tab_x" "$tab_y" --window "$form" || gui_fail "the tab click"
sleep 0.5
gui click "$tool_x" "$tool_y" --window "$form" || gui_fail "the tool button click"
sleep 0.5
gui click "$up_x" "$up_y" --window "$form" || gui_fail "the arrow click"
# Longer than the arrow's repeat delay: a held arrow would have moved on.
sleep 1.5
gui click $(gui_centre "$form" Done) --window "$form" || gui_fail "no Done button"
gui_expect_box Bars "$(printf 'tab 1 true\ntool true\nup btNext 1\nposition 1')" "$stage/stderr.txt"
echo "bars: every check passed"
