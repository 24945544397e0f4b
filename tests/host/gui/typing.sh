#!/bin/bash
# Japanese typed into the note widget's edit and into its settings dialog's
# text box arrives whole: in the control, in the edit's text (which the note
# keeps as a setting) and in the ".config". Each way a character can come
# is tried: keys, character messages byte by byte, WM_IME_CHAR and a
# Unicode character message.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA/../../widgets/note"
# Away from the tray window.
gui_config_write "$stage/widget/note/note.config" 'noteWindow/top=300' 'noteWindow/left=300'
gui_start "$stage" -s 'widget\note\note.xml'
window=$(gui find --class TSkinForm --visible --timeout 10000) || gui_fail "no note window"
typed=あいうabc
# text_in WINDOW CLASS: the text of the first shown window of the class inside it.
text_in() { gui controls "$1" | tr -d '\r' | awk -F'\t' -v c="$2" '$1 == c && $2 == 1 { print $4; exit }'; }

# ==== The note's edit, by keys ====
# Wine may keep the layered widget window above its satellite on the X
# server, so the click goes to the edit's own window.
satellite=$(gui list --class TOwnedForm | cut -f1)
memo=$(gui children "$satellite" | tr -d '\r' | awk -F'\t' '$6 == "TExMemo" { print $1 }')
gui post "$memo" 0x201 1 0x000A0028 && gui post "$memo" 0x202 0 0x000A0028 || gui_fail "no click"
sleep 0.5
gui type "$typed"
memo_text() { [ "$(text_in "$satellite" TExMemo)" = "$typed" ]; }
gui_wait_for 5 memo_text || gui_fail "the note's edit holds \"$(text_in "$satellite" TExMemo)\""

# ==== The settings dialog: the edit's text, kept as "noteText" ====
gui click 100 5 --window "$window" --button right && sleep 0.5 && gui key up up up enter
dialog=$(gui find --class TSettingForm --visible --timeout 5000) || gui_fail "no settings dialog"
[ "$(text_in "$dialog" TMemo)" = "$typed" ] || gui_fail "the note's text reads \"$(text_in "$dialog" TMemo)\""

# The title's box: each character another way.
title=$(gui children "$dialog" | tr -d '\r' | awk -F'\t' '$6 == "TEdit" { print $1 }')
gui post "$title" 0x201 1 0x00050005 && gui post "$title" 0x202 0 0x00050005 || gui_fail "no click"
sleep 0.5
gui send "$title" 0xB1 0 -1 >/dev/null  # EM_SETSEL: all, replaced by what comes
gui chars "$title" あ --as bytes
gui chars "$title" い --as ime
gui chars "$title" う --as unicode
sleep 0.5
gui type abc
title_text() { [ "$(text_in "$dialog" TEdit)" = "$typed" ]; }
gui_wait_for 5 title_text || gui_fail "the title's box holds \"$(text_in "$dialog" TEdit)\""
read -r l t r b < <(gui controls "$dialog" | tr -d '\r' | awk -F'\t' '$4 == "OK" { gsub(",", " ", $3); print $3 }')
gui click $(( (l + r) / 2 )) $(( (t + b) / 2 )) --window "$dialog"
gui wait "$dialog" gone --timeout 5000 || gui_fail "OK did not close the dialog"

choose_exit() { gui tray --button right && sleep 0.5 && gui key up enter; }
gui_end "$GUI_PID" 15 choose_exit || gui_fail "the tray menu's exit did not end the program"
# OK wrote both rows again, in row order (a write moves its key to the end).
gui_config_check "$stage/widget/note/note.config" 'noteWindow/top=300' 'noteWindow/left=300' \
    "Settings/noteTitle=$typed" "Settings/noteText=$typed" || gui_fail "the note's stored text"
echo "typing: every check passed"
