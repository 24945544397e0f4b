#!/bin/bash
# The widget host's main form on real windows: stored widgets and the command
# line loaded in order, the error boxes (an unreadable widget, a script error
# with its numbered lines, a broken ".config"), a second start reloading its
# widget and ending, a third loading another, the tray click showing the main
# form, and the exit from the tray menu rewriting the stored widget list in
# load order.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
widgets="$GUI_WORK/widgets"

# make_widget NAME XML: a widget folder holding NAME.xml.
make_widget() {
    mkdir -p "$widgets/$1" && printf '%s' "$2" >"$widgets/$1/$1.xml"
}
make_widget a '<widget><onload>alert("a loaded", "Probe")</onload></widget>'
make_widget b '<widget><onload>alert("b loaded", "Probe")</onload></widget>'
make_widget bad '<widget><onload>'
make_widget err $'<widget><onload>var x = 1;\nvar y = (;\nvar z = 3;</onload></widget>'
gui_stage "$stage" "$widgets"/*
echo 'not a settings file' >"$stage/widget/a/a.config"
# "widget3" is missing: "widget4" is neither loaded nor removed at the exit.
gui_config_write "$stage/nimbora.config" 'widget1=widget\a\a.xml' 'widget2=widget\bad\bad.xml' \
    'widget4=widget\b\b.xml'

# expect_box TITLE TEXT_PATTERN: the next message box of that title matches; it is answered.
expect_box() {
    local text
    text=$(gui msgbox --title "$1" --timeout 15000) || { cat "$stage/stderr.txt" >&2; gui_fail "no message box \"$1\" (expected $2)"; }
    [[ "$text" == $2 ]] || gui_fail "message box \"$1\": \"$text\", expected $2"
    gui press --title "$1" OK || gui_fail "the box \"$1\" stayed"
}

gui_start "$stage" ' -S ' 'widget\err\err'
expect_box 'Nimbora Error' '*a.config*'
expect_box Probe 'a loaded'
expect_box 'Nimbora Error' '*bad.xml*'
expect_box 'Nimbora Error' '*1: var x = 1;*2: var y = (;*3: var z = 3;*'
main=$(gui find --class TMainForm --timeout 5000) || gui_fail "no main form"
[ -e "$stage/widget/a/a.config.bak" ] || gui_fail "the broken a.config was not kept"

# ==== Second start ====
first=$GUI_PID
gui_start "$stage" -s 'widget\a\a.xml'
second=$GUI_PID
expect_box Probe 'a loaded'
gui_end "$second" 10 || gui_fail "the second start did not end"
gui_start "$stage" -s 'widget\b\b.xml'
expect_box Probe 'b loaded'
gui_end "$GUI_PID" 10 || gui_fail "the third start did not end"
GUI_PID=$first

# ==== Tray ====
gui tray
gui wait "$main" visible --timeout 5000 || gui_fail "a tray click did not show the main form"
gui tray
gui wait "$main" hidden --timeout 5000 || gui_fail "a second tray click did not hide the main form"

# ==== Exit from the tray menu: "終了" is its last entry ====
choose_exit() { gui tray --button right && sleep 0.5 && gui key up enter; }
gui_end "$GUI_PID" 15 choose_exit ||
    gui_fail "the tray menu's exit did not end the program"
# "widget2" is rewritten; the stale "widget4" beyond the gap stays.
gui_config_check "$stage/nimbora.config" 'widget4=widget\b\b.xml' 'widget1=widget\a\a.xml' 'widget2=widget\b\b.xml' ||
    gui_fail "the stored widget list"
echo "main form: every check passed"
