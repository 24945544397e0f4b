#!/bin/bash
# A widget started again while its settings dialog is open: the reload waits
# until the dialog is closed, so OK stores what was typed there and the
# reloaded widget starts from it; the program survives the starts after. A
# window freed under its open dialog does not hold the reload back: the
# dialog outlives the settings the unload freed.
. "$GUI_KIT"

widget="$GUI_WORK/probe"
stage="$GUI_WORK/stage"
cp -r "$NIMBORA_TEST_DATA/gui/reload/probe" "$widget"
gui_png "$widget/back.png" 32 64 96
gui_stage "$stage" "$widget"

start_again() {
    gui_start "$stage" -s 'widget\probe\probe.xml'
    gui_end "$GUI_PID" 10 || gui_fail "a later start did not end"
    GUI_PID=$first
}
# window_at LEFT: the shown widget window whose left edge is there.
window_at() { gui list --class TSkinForm --visible | tr -d '\r' | awk -F'\t' -v x="$1" '$6 ~ "^" x "," { print $1 }'; }
has_window() { [ -n "$(window_at "$1")" ]; }
wait_window() {
    gui_wait_for 10 has_window "$1" || gui_fail "no window at $1"
    window_at "$1"
}
# open_dialog WINDOW: its menu's third entry from the bottom is "設定".
open_dialog() {
    gui click 5 5 --window "$1" --button right && sleep 0.5 && gui key up up up enter
    dialog=$(gui find --class TSettingForm --visible --timeout 5000) || gui_fail "no settings dialog"
}
# press_in_dialog CLASS TEXT: clicks the middle of the dialog's shown window of
# that class and text.
press_in_dialog() {
    local l t r b
    read -r l t r b < <(gui controls "$dialog" | tr -d '\r' |
        awk -F'\t' -v c="$1" -v n="$2" '$1 == c && $2 == 1 && $4 == n { gsub(",", " ", $3); print $3; exit }')
    [ -n "$b" ] || gui_fail "no $1 \"$2\" in the dialog"
    gui click $(( (l + r) / 2 )) $(( (t + b) / 2 )) --window "$dialog"
}
alive() { kill -0 "$first" 2>/dev/null || { cat "$stage/stderr.txt" >&2; gui_fail "the program died $1"; }; }

gui_start "$stage" -s 'widget\probe\probe.xml'
first=$GUI_PID
window=$(wait_window 300)

# ==== Started again under the open dialog: the reload waits for its OK ====
open_dialog "$window"
press_in_dialog TEdit Bob && gui key end && gui type Ann
start_again
sleep 1
[ "$(window_at 300)" = "$window" ] || gui_fail "the widget was reloaded under its open settings dialog"
press_in_dialog TButton OK
gui wait "$window" gone --timeout 5000 || gui_fail "the reload did not follow the dialog's OK"
window=$(wait_window 300)
start_again
gui wait "$window" gone --timeout 5000 || gui_fail "the third start did not reload the widget"
window=$(wait_window 300)
sleep 3
alive "after the dialog was closed and the widget started again"

# ==== A window freed under its open dialog: the unload goes on ====
other=$(wait_window 400)
open_dialog "$other"
gui post "$other" 0x10  # WM_CLOSE: its onClose frees it
gui wait "$other" hidden --timeout 5000 || gui_fail "the closed window stayed"
start_again
gui wait "$window" gone --timeout 5000 || gui_fail "the widget was not reloaded"
press_in_dialog TButton キャンセル
start_again
sleep 3
alive "after the dialog of a freed window was closed and the widget started again"

choose_exit() { gui tray --button right && sleep 0.5 && gui key up enter; }
gui_end "$GUI_PID" 15 choose_exit || gui_fail "the tray menu's exit did not end the program"
gui_config_check "$stage/widget/probe/probe.config" 'Settings/nick=BobAnn' 'top=*' 'left=*' 'w/top=*' 'w/left=*' ||
    gui_fail "the stored settings"
echo "reload: every check passed"
