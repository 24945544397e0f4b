#!/bin/bash
# The host's dialogs on real windows. The settings dialog, opened from the
# tray menu: its page and client size, the hotkey editor enabled exactly when
# the box is checked (on opening and on every click), the editor's rules, the
# tray menu off the tray icon while it is open, OK storing "HotKey" and
# "EnabledHotKey" and registering the hotkey anew, Cancel storing nothing.
# The about box. A widget window's menu: the font entry and the help entry
# enabled only by `fontDialog` and a help file, the help file opened from the
# widget's folder, and the system's font dialog, whose Apply and OK both
# store the font keys and fire onFontChanged.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA/gui/dialogs/fonts"
gui_start "$stage" -s 'widget\fonts\fonts.xml'
gui_expect_box Probe ready
main=$(gui find --class TMainForm --timeout 5000) || gui_fail "no main form"
window=$(gui find --class TSkinForm --visible --timeout 5000) || gui_fail "no widget window"

# tray_menu KEYS...: opens the tray menu and presses the keys there. From the
# bottom: "終了", "Nimboraについて", "設定".
tray_menu() { gui tray --button right && sleep 0.5 && gui key "$@"; }

# field N WINDOW FILTER...: field N of the window's first control that
# matches the kit's "children" filters (--class, --title, --id):
# 1 handle, 2 id, 3 enabled, 4 visible, 5 rectangle.
field() {
    local n=$1 parent=$2
    shift 2
    gui children "$parent" "$@" | tr -d '\r' | awk -F'\t' -v n="$n" 'NR == 1 { print $n }'
}

# click_control WINDOW FILTER...: clicks the middle of that control.
click_control() {
    local left top right bottom
    IFS=, read -r left top right bottom <<<"$(field 5 "$@")"
    [ -n "$bottom" ] || gui_fail "no control $*"
    gui click $(( (left + right) / 2 )) $(( (top + bottom) / 2 ))
}

# ==== The settings dialog ====
# open_settings: opens it from the tray menu; its handle goes to `dialog`.
open_settings() {
    tray_menu up up up enter
    dialog=$(gui find --class TMainSettingForm --visible --timeout 5000) || gui_fail "no settings dialog"
}

# check_dialog CHECKED ENABLED HOTKEY: the box's state (BM_GETCHECK), whether
# the editor is enabled, and the editor's value (HKM_GETHOTKEY: key, flags).
check_dialog() {
    local box editor
    box=$(field 1 "$dialog" --class TCheckBox)
    editor=$(field 1 "$dialog" --class THotKey)
    [ "$(gui send "$box" 0xF0 | tr -d '\r')" = "$1" ] || gui_fail "the check box is not $1"
    [ "$(field 3 "$dialog" --class THotKey)" = "$2" ] || gui_fail "the editor's enabled state is not $2"
    [ "$(gui send "$editor" 0x402 | tr -d '\r')" = "$3" ] || gui_fail "the editor's value is not $3"
}

open_settings
gui list --class TMainSettingForm --visible | grep -q $'\t設定$' || gui_fail "the dialog's caption"
[ "$(gui client "$dialog" | tr -d '\r')" = "384 257" ] || gui_fail "the dialog's client size"
[ -n "$(field 1 "$dialog" --class TTabSheet --title '一般　')" ] || gui_fail "no page \"一般　\""
[ -n "$(field 1 "$dialog" --class TGroupBox --title 'ホットキー')" ] || gui_fail "no group \"ホットキー\""
# Nothing stored: off, Alt+A (key 0x41, Alt flag 4).
check_dialog 0 0 $(( 0x441 ))
gui tray --button right
! gui find --class '#32768' --visible --timeout 1000 >/dev/null || gui_fail "the tray menu opened over the dialog"
click_control "$dialog" --class TCheckBox
check_dialog 1 1 $(( 0x441 ))
# A key without a modifier is refused and takes Alt: B becomes Alt+B.
click_control "$dialog" --class THotKey
gui key b
check_dialog 1 1 $(( 0x442 ))
click_control "$dialog" --class TButton --title OK
gui wait "$dialog" gone || gui_fail "OK left the dialog open"

# Opened again: checked, so the editor is enabled from the start; a click
# disables it again; Cancel stores nothing of the change.
open_settings
check_dialog 1 1 $(( 0x442 ))
click_control "$dialog" --class THotKey
gui key ctrl+c
click_control "$dialog" --class TCheckBox
check_dialog 0 0 $(( 0x243 ))
click_control "$dialog" --class TButton --title キャンセル
gui wait "$dialog" gone || gui_fail "Cancel left the dialog open"

# ==== The about box ====
tray_menu up up enter
about=$(gui find --class TAboutForm --visible --timeout 5000) || gui_fail "no about box"
gui list --class TAboutForm --visible | grep -q $'\tNimboraについて$' || gui_fail "the about box's caption"
click_control "$about" --class TButton --title OK
gui wait "$about" gone || gui_fail "OK left the about box open"

# ==== The widget window's font and help entries ====
# window_menu KEYS...: opens the widget window's menu and presses the keys there.
window_menu() { gui click 40 15 --window "$window" --button right && sleep 0.5 && gui key "$@"; }

# entry_state KEYS...: opens the window's menu, moves to an entry with the
# keys and tells from its highlighted row whether it is "enabled" or
# "disabled" (written in the grey text colour); the menu is closed again.
entry_state() {
    local menu rect left top right bottom
    window_menu "$@" && sleep 0.3
    menu=$(gui find --class '#32768' --visible) || gui_fail "no window menu"
    rect=$(gui list --class '#32768' --visible | tr -d '\r' | awk -F'\t' 'NR == 1 { print $6 }')
    IFS=, read -r left top right bottom <<<"$rect"
    gui pixels "$menu" 0 0 $(( right - left )) $(( bottom - top )) | python3 -c '
import collections, sys
rows = [[p[2:] for p in line.split()] for line in sys.stdin.read().split("\n") if line.strip()]
marks = [row[3] for row in rows]
background = collections.Counter(marks).most_common(1)[0][0]
highlight = collections.Counter(m for m in marks if m != background).most_common(1)[0][0]
band = [p for row, mark in zip(rows, marks) if mark == highlight for p in row]
print("disabled" if "808080" in band else "enabled" if len(band) > 10 * len(rows[0]) else "none")'
    gui key esc
}

# From the bottom of the window's menu: "終了", "このウィジェットについて", "設定", "フォントの設定".
check_entries() {
    local row name keys state
    for row in "$@"; do
        IFS='|' read -r name keys state <<<"$row"
        [ "$(entry_state $keys)" = "$state" ] || gui_fail "the menu entry \"$name\" is not $state"
    done
}
check_entries 'font entry with fontDialog false|up up up up|disabled' 'help entry without a help file|up up|disabled' \
    'exit entry|up|enabled'
window_menu down enter
gui_expect_box Probe enabled
check_entries 'font entry with fontDialog true|up up up up|enabled' 'help entry with a help file|up up|enabled'

# The help file is opened from the widget's folder.
window_menu up up enter
gui_wait_for 15 test -e "$stage/widget/fonts/opened.txt" || gui_fail "the help file was not opened in the widget's folder"

# The font dialog starts from the window font; underline and Apply, then the
# size and OK.
window_menu up up up up enter
fonts=$(gui find --class '#32770' --visible --timeout 5000) || gui_fail "no font dialog"
click_control "$fonts" --id 1041  # underline
click_control "$fonts" --id 1026  # Apply
gui_expect_box Probe 'true IPAゴシック 12 Bold,Underline #ff0000'
click_control "$(field 1 "$fonts" --id 1138)" --class Edit  # the size
gui key end shift+home
gui type 20
click_control "$fonts" --id 1  # OK
gui_expect_box Probe 'true IPAゴシック 20 Bold,Underline #ff0000'
gui wait "$fonts" gone || gui_fail "the font dialog stayed"

# The widget reloaded by a second start while the dialog is open: the old
# window is gone, so the dialog's OK takes nothing (no onFontChanged box,
# which would also hold up the exit).
window_menu up up up up enter
fonts=$(gui find --class '#32770' --visible --timeout 5000) || gui_fail "no second font dialog"
first=$GUI_PID
gui_start "$stage" -s 'widget\fonts\fonts.xml'
gui_end "$GUI_PID" 10 || gui_fail "the second start did not end"
GUI_PID=$first
gui_expect_box Probe ready
click_control "$fonts" --id 1
gui wait "$fonts" gone || gui_fail "the font dialog of the unloaded window stayed"

# Alt+B was registered on OK (and not taken back by Cancel): it shows the main form.
gui key alt+b
gui wait "$main" visible || gui_fail "the new hotkey did not show the main form"

choose_exit() { tray_menu up enter; }
gui_end "$GUI_PID" 15 choose_exit || gui_fail "the tray menu's exit did not end the program"
gui_config_check "$stage/nimbora.config" 'HotKey=32834' 'EnabledHotKey=-1' 'widget1=widget\fonts\fonts.xml' ||
    gui_fail "the stored settings"
gui_config_check "$stage/widget/fonts/fonts.config" 'w/font.name=IPAゴシック' 'w/font.size=20' \
    'w/font.style=fsBold,fsUnderline' 'w/font.color=#ff0000' 'w/font.charset=*' 'w/top=*' 'w/left=*' ||
    gui_fail "the stored font"
echo "dialogs: every check passed"
