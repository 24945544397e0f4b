#!/bin/bash
# Alert popups shown by a widget's script, on the 1280 x 1024 test screen with
# the taskbar at the bottom: their place (the first 16 and 2 pixels in from
# the corner, each next 123 pixels higher, the ninth refused), size and window
# bits; a click on the text opening its link (a batch file beside the widget)
# or only closing, other clicks closing; after all have closed the stack
# starting again at the bottom, and popups closing after their time-out (0 and
# less: as soon as they are out). The helper's window list is the witness.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA/gui/popup/alerts"
widget="$stage/widget/alerts"

# probe_box: the next "Probe" box's text (left open).
probe_box() { gui msgbox --title Probe --timeout 15000 || { cat "$stage/stderr.txt" >&2; gui_fail "no Probe box"; }; }

# popups: the visible popups as "handle left,top,right,bottom style exstyle", top first.
popups() { gui list --class TfrmAlertPopUp --visible | tr -d '\r' | awk -F'\t' '{ print $1, $6, $4, $5 }' | sort -t, -k2 -n; }
# popup_at TOP: the handle of the popup at full size with that top edge.
popup_at() { popups | awk -v want="1116,$1,1264,$(( $1 + 121 ))" '$2 == want { print $1 }'; }
has_popup_at() { [ -n "$(popup_at "$1")" ]; }
no_popups() { [ -z "$(popups)" ]; }

gui_start "$stage" -s 'widget\alerts\alerts.xml'
text=$(probe_box)
[ "$text" = "shown true,true,true,true,true,true,true,true,false" ] || gui_fail "shown: $text"

# ==== Eight popups, 123 pixels apart, with the popup window bits ====
tops=(901 778 655 532 409 286 163 40)
for top in "${tops[@]}"; do
    gui_wait_for 15 has_popup_at "$top" || gui_fail "no popup at 1116,$top: $(popups)"
done
[ "$(popups | wc -l)" = 8 ] || gui_fail "not eight popups: $(popups)"
read -r _ _ style exstyle <<<"$(popups | head -1)"
(( (style & 0x80000000) && !(style & 0x00C00000) )) || gui_fail "style $style: not a captionless popup"
(( (exstyle & 0x08000088) == 0x08000088 )) || gui_fail "extended style $exstyle: not topmost, tool window, no-activate"

# ==== Clicks close: "index x y button" in the popup ====
# The text's link opens only from the first popup's text (left button).
clicks=(
    '1 74 60 left'    # the text with its link
    '2 74 60 left'    # a text without a link
    '3 74 60 right'   # the text, right button
    '4 15 12 left'    # the title
    '5 10 100 left'   # the background
    '6 140 100 right'
    '7 10 100 left'
    '8 10 100 left'
)
for row in "${clicks[@]}"; do
    read -r index x y button <<<"$row"
    top=${tops[index - 1]}
    handle=$(popup_at "$top")
    gui click $(( 1116 + x )) $(( top + y )) --button "$button"
    gui wait "$handle" gone --timeout 15000 || gui_fail "popup $index stayed after a $button click at $x,$y"
done
gui_wait_for 10 test -f "$widget/clicked.txt" || gui_fail "the link was not opened"
[ "$(grep -c clicked "$widget/clicked.txt")" = 1 ] || gui_fail "the link opened more than once"

# ==== All closed: the stack starts at the bottom again; time-outs close ====
gui press --title Probe OK || gui_fail "the box stayed"
text=$(probe_box)
[ "$text" = "later true,true,true,true" ] || gui_fail "later: $text"
gui_wait_for 15 has_popup_at 901 || gui_fail "the first popup after all closed is not at the bottom: $(popups)"
one_left() { [ "$(popups | wc -l)" = 1 ]; }
gui_wait_for 60 one_left || gui_fail "popups of 1, 0 and -5 seconds stayed: $(popups)"
gui click $(( 1116 + 10 )) $(( 901 + 100 ))
gui_wait_for 15 no_popups || gui_fail "the last popup stayed after a click: $(popups)"
gui press --title Probe OK || gui_fail "the box stayed"

choose_exit() { gui tray --button right && sleep 0.5 && gui key up enter; }
gui_end "$GUI_PID" 15 choose_exit || gui_fail "the tray menu's exit did not end the program"
echo "popup: every check passed"
