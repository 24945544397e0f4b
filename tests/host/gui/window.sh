#!/bin/bash
# Windows made by widget scripts, on real windows: the constructor's
# arguments and onCreate, fades, the event record (reset, sender, buttons
# summed, a move leaving the buttons at 0, a freed sender reading null),
# system's open, close and balloon hint, the disk's SMART read failing for
# good under Wine, closing from a script acting only once that script has
# returned, and the program ended by closing its main form with two widgets
# loaded. The test widgets report through alert.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA"/gui/window/{events,closer,still}
gui_config_write "$stage/nimbora.config" 'widget1=widget\events\events.xml' 'widget2=widget\still\still.xml'

# expect_box TEXT: the next "Probe" box says exactly this; it is answered.
expect_box() {
    local text
    text=$(gui msgbox --title Probe --timeout 15000) || { cat "$stage/stderr.txt" >&2; gui_fail "no box (expected $1)"; }
    [ "$text" = "$1" ] || gui_fail "box: \"$text\", expected \"$1\""
    gui press --title Probe OK || gui_fail "the box stayed"
}

# What events.xml's onload reports, one check a line.
events_checks=(
    'record before any event=none,0,0,0,0,0,false,false,false,true'
    'onCreate without a handler=0'
    'onCreate with a handler=1'
    'sender of onCreate=true'
    'main=false'
    'stored transparency=255'
    'fadeOut(100)=0'
    'fadeIn(51)=255'
    'fades of step 0 and -1=255'
    'transparency 300=255'
    'sender once its window is freed=null'
    'screen width is read=true'
    'getSMART(0)=false'
    'disk after the failed read=0,0,0,0,0,0,,,'
    'getSMART(0) again=false'
    'getSMART(1) after the failure=false'
    'getSMART without a drive=false'
    'open without a path=false'
    'open a loaded widget=false'
    'balloon with three arguments=false'
    'balloon with four arguments=true'
    'closed before the script returned=0'
)

gui_start "$stage" -s 'widget\closer\closer.xml'
expect_box "$(printf '%s\n' "${events_checks[@]}")"
gui find --class tooltips_class32 --visible --timeout 5000 >/dev/null || gui_fail "no balloon hint shown"
expect_box 'closer ran on'

# ==== Mouse events on the main window of "events" ====
window=$(gui list --class TSkinForm --visible | awk 'NR == 1 { print $1 }')
[ -n "$window" ] || gui_fail "no visible widget window"
# Each row: how the event is made, then the box it gives ("closes" counts the
# "Settings" window's onClose, which ran once the onload script had returned).
gui click 20 30 --window "$window"
expect_box 'down plain,1,20,30,0,0,false,false,false,true closes=1'
gui post "$window" 0x204 3 $(( (31 << 16) | 21 ))   # WM_RBUTTONDOWN, left and right held
expect_box 'down plain,3,21,31,0,0,false,false,false,true closes=1'
gui post "$window" 0x200 1 $(( (9 << 16) | 7 ))     # WM_MOUSEMOVE, left held
expect_box 'move plain,0,7,9,0,0,false,false,false,true closes=1'
gui post "$window" 0x202 0 0                          # WM_LBUTTONUP, no button held: lets the mouse go

# ==== Closing the main form: the widgets are unloaded as the form goes ====
main=$(gui find --class TMainForm --timeout 5000) || gui_fail "no main form"
close_main() { gui post "$main" 0x10; }  # WM_CLOSE
gui_end "$GUI_PID" 15 close_main || gui_fail "closing the main form did not end the program"
# Only the exit rewrites the stored list; every window's keys are stored.
gui_config_check "$stage/nimbora.config" 'widget1=widget\events\events.xml' 'widget2=widget\still\still.xml' ||
    gui_fail "the stored widget list"
gui_config_check "$stage/widget/still/still.config" 'w/top=*' 'w/left=*' || gui_fail "still's window was not stored"
gui_config_check "$stage/widget/events/events.config" 'top=300' 'left=300' '_Settings/top=*' '_Settings/left=*' ||
    gui_fail "the \"Settings\" window's section"
gui_config_check "$stage/widget/closer/closer.config" 'w/top=*' 'w/left=*' || gui_fail "closer's window was not stored"
echo "window: every check passed"
