#!/bin/bash
# The guide's widget examples (docs/examples/widgets) run in the program: each
# shows what it found in one message box, which must read as NAME.box beside
# its folder. The settings example runs twice: the value it wrote is in its
# ".config" after the exit and read back at the next start.
. "$GUI_KIT"

examples="$NIMBORA_TEST_DATA/../../docs/examples/widgets"
stage="$GUI_WORK/stage"

# expect_example NAME [TEXT]: the next box reads as NAME.box (or TEXT).
expect_example() {
    local want
    want=${2:-$(cat "$examples/$1.box")}
    gui_expect_box Nimbora "$want" "$stage/stderr.txt"
}
choose_exit() { gui tray --button right && sleep 0.5 && gui key up enter; }

for name in elements events system; do
    gui_stage "$stage" "$examples/$name"
    gui_start "$stage" -s "widget\\$name\\$name.xml"
    expect_example "$name"
    gui_kill "$GUI_PID"
done

gui_stage "$stage" "$examples/settings"
gui_start "$stage" -s 'widget\settings\settings.xml'
expect_example settings
gui_end "$GUI_PID" 15 choose_exit || gui_fail "the tray menu's exit did not end the program"
gui_config_check "$stage/widget/settings/settings.config" 'Settings/visits=1' 'panel/top=*' 'panel/left=*' ||
    gui_fail "the stored visits"
gui_start "$stage" -s 'widget\settings\settings.xml'
expect_example settings "$(sed 's/^visits = 1$/visits = 2/' "$examples/settings.box")"
gui_kill "$GUI_PID"
echo "guide widgets: every check passed"
