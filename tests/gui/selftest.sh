#!/bin/bash
# The GUI kit proves itself on guiprobe, a program that logs what it sees:
# staging and starting with "-s", finding and listing windows and controls,
# a client size, the layered window's premultiplied pixels, sent and posted
# messages, a message box read and answered, clicks, a double click, a drag,
# keys, typed text, the hotkey, the tray, a screenshot, the ".config" files
# written at the end, and a program that will not close ended past its time
# limit.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
log="$stage/probe.log"

expect_log() {
    gui_wait_for 5 grep -sqxF "$1" "$log" || gui_fail "the probe did not log \"$1\""
}

expect_equal() {  # actual expected what
    [ "$1" = "$2" ] || gui_fail "$3: \"$1\", expected \"$2\""
}

mkdir -p "$GUI_WORK/probe" && echo '<widget/>' >"$GUI_WORK/probe/probe.xml"
gui_stage "$stage" "$GUI_WORK/probe"
gui_config_write "$stage/nimbora.config" 'widget1=widget\old\old.xml' 'EnabledHotKey=0'
gui_config_check "$stage/nimbora.config" 'widget1=widget\old\old.xml' 'EnabledHotKey=*' ||
    gui_fail "a written settings file does not read back"
gui_start "$stage" -s 'widget\probe\probe.xml'
expect_log 'start widget\probe\probe.xml present'
expect_log ready

# ==== Finding, listing, pixels ====
window=$(gui find --class NimboraProbe --visible --timeout 10000) || gui_fail "no probe window"
IFS=$'\t' read -r handle _ visible _ exstyle rect class title < <(gui list --class NimboraProbe)
expect_equal "$handle $visible $rect $class $title" "$window 1 200,150,264,214 NimboraProbe Probe" "the listed window"
(( exstyle & 0x80000 )) || gui_fail "the probe window is not layered ($exstyle)"
expect_equal "$(gui pixels "$window" 31 63 2 1)" "80800000 ffffffff" "the pixels at the middle"

# ==== Messages and message boxes ====
expect_equal "$(gui send "$window" 0x400 7 9)" 16 "the answer to a sent message"
expect_log "message 7 9"
gui post "$window" 0x401
expect_equal "$(gui msgbox --title Probe)" $'続けますか?\nSecond line' "the message box text"
expect_equal "$(gui msgbox --title Probe --buttons)" $'OK\nキャンセル' "the message box buttons"
box=$(gui find --class '#32770' --title Probe) || gui_fail "the message box is not listed"
IFS=$'\t' read -r _ id enabled visible _ class title < <(gui children "$box" --title キャンセル)
expect_equal "$id $enabled $visible $class $title" "2 1 1 Button キャンセル" "the box's listed button"
expect_equal "$(gui children "$box" --class Button --id 1 | cut -f7)" OK "the box's button with id 1"
expect_equal "$(gui client "$window")" "64 64" "the probe's client size"
gui press --title Probe キャンセル || gui_fail "the message box stayed"
expect_log "answer 2"

# ==== Mouse and keyboard ====
gui click --window "$window" 10 20
expect_log "left down 10 20"
expect_log "left up 10 20"
gui click --window "$window" 40 21 --button right
expect_log "right up 40 21"
gui click --window "$window" 12 13 --double
expect_log "left double 12 13"
gui drag --window "$window" 5 5 40 30 --steps 3
expect_log "left drag 28 21"
expect_log "left up 40 30"
gui key alt+a
expect_log "hotkey 7"
gui key x enter
expect_log "key 88"
expect_log "key 13"
gui type 'é終'
expect_log "char 終"
gui tray
expect_log "tray 514"
gui_screenshot "$GUI_WORK/screen.png"
[ -s "$GUI_WORK/screen.png" ] || gui_fail "no screenshot"

# ==== Ending and the stored files ====
gui_end "$GUI_PID" 10 gui post "$window" 0x10 || gui_fail "the probe did not end when closed"
gui_config_check "$stage/widget/probe/probe.config" probe/top=150 probe/left=200 probe/caption=終了 ||
    gui_fail "the probe's widget settings"
gui_config_check "$stage/nimbora.config" 'widget1=widget\probe\probe.xml' || gui_fail "the probe's nimbora.config"

rm "$log"
gui_start "$stage" --stubborn
expect_log ready
window=$(gui find --class NimboraProbe --visible --timeout 10000) || gui_fail "no stubborn probe window"
if gui_end "$GUI_PID" 2 gui post "$window" 0x10; then gui_fail "a probe that refuses to close ended"; fi
expect_log "close refused"
gui wait "$window" gone --timeout 5000 || gui_fail "the killed probe's window stayed"
echo "gui kit: every check passed"
