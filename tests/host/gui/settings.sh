#!/bin/bash
# A widget's settings dialog on real windows: the "設定" entry follows the
# registered settings; the dialog shows a row per setting, by type, on its
# category's tab, in the order they registered; OK stages the values for
# onSettingChanging, whose veto shows the dialog again with the user's
# entries; the next OK stores them (onSettingChanged, the ".config"); a
# setting whose window was freed reads null.
. "$GUI_KIT"

widget="$GUI_WORK/probe"
stage="$GUI_WORK/stage"
cp -r "$NIMBORA_TEST_DATA/gui/settings/probe" "$widget"
gui_png "$widget/back.png" 32 64 96
gui_stage "$stage" "$widget"
doc=$(gui_windows_path "$stage/widget/probe/probe.xml")

expect_probe() { gui_expect_box Probe "$1" "$stage/stderr.txt"; }

gui_start "$stage" -s 'widget\probe\probe.xml'
expect_probe "$(printf '%s\n' \
    'one argument=ESettingError' \
    'values before any OK=Bob;;;1;0,2;false;;;' \
    'parent of a live window=true' \
    'parent after its window was freed=null')"
window=$(gui find --class TSkinForm --visible --timeout 5000) || gui_fail "no widget window"

# menu KEYS...: opens the window's menu and presses the keys there.
menu() { gui click 50 15 --window "$window" --button right && sleep 0.5 && gui key "$@"; }
# The third entry from the bottom is "設定".
open_dialog() {
    menu up up up enter
    dialog=$(gui find --class TSettingForm --visible --timeout 5000) || gui_fail "no settings dialog"
}
# The dialog's windows, one a line: class, visible, left, right, text, state
# (the rows' tops follow the labels' font).
controls() {
    gui controls "$dialog" | tr -d '\r' | awk -F'\t' '{ split($3, r, ","); print $1, $2, r[1], r[3], $4, $5 }'
}
# A busy machine may show the dialog before its stored values are in.
has_control() { controls | grep -qxF "$1"; }
expect_controls() {
    local got
    got=$(controls)
    [ "$got" = "$1" ] || gui_fail "dialog controls:"$'\n'"$got"$'\n'"expected:"$'\n'"$1"
}
# rect CLASS N: the Nth shown window of the class (or the one whose text is N):
# left top right bottom.
rect() {
    gui controls "$dialog" | tr -d '\r' | awk -F'\t' -v c="$1" -v n="$2" \
        '$1 == c && $2 == 1 && ($4 == n || ++seen == n) { gsub(",", " ", $3); print $3; exit }'
}
# press CLASS N: clicks the middle of that window.
press() {
    local l t r b
    read -r l t r b < <(rect "$1" "$2")
    [ -n "$b" ] || gui_fail "no $1 $2 in the dialog"
    gui click $(( (l + r) / 2 )) $(( (t + b) / 2 )) --window "$dialog"
}
ok() { press TButton OK; }

# ==== The rows, in registration order: the first tab "一般　", then "More " ====
open_dialog
expect_controls "TPanel 1 0 472  
TButton 1 284 359 OK 
TButton 1 372 447 キャンセル 
TPageControl 1 0 472  
TTabSheet 1 4 468 一般　 
TPanel 1 4 468  
TEdit 1 244 444 Bob password=0
TEdit 1 244 444  password=42
TComboBox 1 244 444 green selected=1
TCheckBox 1 14 314 Dark check=0
TEdit 1 244 444  password=0
TMyButton 1 449 469 ... 
TTabSheet 0 4 468 More  
TPanel 0 4 468  
TMemo 0 244 444  password=0
TCheckListBox 0 244 444  count=3 caret=0
TEdit 0 244 444  password=0
TMyButton 0 449 469 ... "

# ==== Entries: each control by hand ====
press TEdit 1 && gui key end && gui type X        # Nick
press TEdit 2 && gui type pw                      # Secret
press TComboBox 1 && gui key down enter           # Flavour: blue
press TCheckBox 1                                 # Dark
press TMyButton 1                                 # Document: "..."
gui find --class '#32770' --visible --timeout 5000 >/dev/null || gui_fail "no file dialog"
gui type "$doc" && gui key enter
gui click 80 12 --window "$dialog"                # the tab "More "
press TMemo 1 && gui type one && gui key enter && gui type two  # Notes
# Tags: the check box of "b", the second of three items in a list of 3 items + 25 pixels.
read -r l t r b < <(rect TCheckListBox 1)
gui click $(( l + 10 )) $(( t + 2 + (b - t - 25) / 2 )) --window "$dialog"
press TMyButton 1                                 # Place: "..." opens at its folder
gui find --class '#32770' --visible --timeout 5000 >/dev/null || gui_fail "no folder picker"
gui key enter

# ==== OK: staged, vetoed, shown again; OK again: stored ====
staged="BobX;pw;one/two;2;0,1,2;true;$doc;;C:\\windows"
ok
expect_probe "changing 1: $staged | Bob"
dialog=$(gui find --class TSettingForm --visible --timeout 5000) || gui_fail "the veto closed the dialog"
controls | grep -q '^TEdit [01] 244 444 BobX ' || gui_fail "the entries were lost: $(controls)"
ok
expect_probe "changing 2: $staged | Bob"
expect_probe "changed: $staged"

# ==== Opened again: the stored values; キャンセル fires nothing ====
open_dialog
gui_wait_for 5 has_control 'TComboBox 1 244 444 blue selected=2' || gui_fail "flavour: $(controls)"
has_control 'TCheckBox 1 14 314 Dark check=1' || gui_fail "dark: $(controls)"
press TButton キャンセル

# ==== parent = null unregisters: "設定" is disabled ====
menu down enter && expect_probe "detached null"
# A disabled "設定" opens nothing: the window still takes the menu after it.
menu up up up enter && gui key esc
menu down enter && expect_probe "detached null"

# A setting without a key: the error and its message.
menu down down enter
error=$(gui msgbox --title "Nimbora Error" --timeout 5000) || gui_fail "no error box"
[[ "$error" == *"ESettingError("*") => setting create error"* ]] || gui_fail "error box: $error"
gui press --title "Nimbora Error" OK

choose_exit() { gui tray --button right && sleep 0.5 && gui key up enter; }
gui_end "$GUI_PID" 15 choose_exit || gui_fail "the tray menu's exit did not end the program"
# The values in the section "Settings", in the order they were collected (a
# memo's lines joined by CR LF); "Odd", of an unknown type, has no control.
gui_config_check "$stage/widget/probe/probe.config" 'top=*' 'left=*' 'Settings/nick=BobX' 'Settings/secret=pw' \
    'Settings/notes=*' 'Settings/flavour=2' 'Settings/tags=0,1,2' 'Settings/dark=true' "Settings/doc=$doc" \
    'Settings/place=C:\windows' \
    'w/top=*' 'w/left=*' || gui_fail "the stored settings"
echo "settings: every check passed"
