#!/bin/bash
# The find dialog a widget script shows, typed into with the real keyboard:
# Tab and Shift+Tab move the focus inside it (its dialog messages go through
# the program's loop) and Enter presses "Find Next", whose onFind sees the
# text typed.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA/gui/finder"
gui_start "$stage" -s 'widget\finder\finder.xml'
gui find --class '#32770' --visible --timeout 10000 >/dev/null || gui_fail "no find dialog"
sleep 0.5
gui type nee
# Back into the edit by Shift+Tab, which selects its text: typing replaces it.
gui key tab shift+tab
gui type needle
gui key enter
gui_expect_box Finder "found needle [frDown,frFindNext]" "$stage/stderr.txt"
echo "finddialog: every check passed"
