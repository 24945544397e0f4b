#!/bin/bash
# A form a widget script made, driven by the real mouse and keyboard: a
# button's click and a check box's reach their handlers with the sender's
# wrapper, and a double-byte character typed into an edit reaches its
# onKeyPress byte by byte and the edit whole, a key the handler cancels
# does not.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA/gui/probe"
gui_start "$stage" -s 'widget\probe\probe.xml'
form=$(gui find --title "Probe form" --visible --timeout 10000) || gui_fail "no form"
gui click $(gui_centre "$form" Press) --window "$form" || gui_fail "no Press button"
gui click $(gui_centre "$form" Box) --window "$form" || gui_fail "no check box"
gui click 100 72 --window "$form"
sleep 0.5
gui type あab
sleep 0.5
gui click $(gui_centre "$form" Done) --window "$form" || gui_fail "no Done button"
gui_expect_box Probe "$(printf 'click true box true 130 160 97 98\nあa')" "$stage/stderr.txt"
echo "forms: every check passed"
