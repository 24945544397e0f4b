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
# centre NAME: the centre of the first window inside the form with that text,
# asked again for up to 5 s (once a listing missed the button while the form
# was still taking the typed keys).
centre() {
    local at
    for _ in $(seq 50); do
        at=$(gui controls "$form" | tr -d '\r' | awk -F'\t' -v t="$1" '$4 == t { split($3, r, ","); print int((r[1] + r[3]) / 2), int((r[2] + r[4]) / 2); exit }')
        [ -n "$at" ] && break
        sleep 0.1
    done
    echo "$at"
}
gui click $(centre Press) --window "$form" || gui_fail "no Press button"
gui click $(centre Box) --window "$form" || gui_fail "no check box"
gui click 100 72 --window "$form"
sleep 0.5
gui type あab
sleep 0.5
gui click $(centre Done) --window "$form" || gui_fail "no Done button"
gui_expect_box Probe "$(printf 'click true box true 130 160 97 98\nあa')" "$stage/stderr.txt"
echo "forms: every check passed"
