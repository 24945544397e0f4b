#!/bin/bash
# A widget's settings dialog on real windows: the "設定" entry follows the
# registered settings, the dialog shows their rows by type and category, its
# OK stages the values for onSettingChanging (whose veto keeps the dialog
# open with the user's entries), then stores them for onSettingChanged and
# the widget's ".config"; a setting whose window was freed reads null.
. "$GUI_KIT"

widget="$GUI_WORK/probe"
stage="$GUI_WORK/stage"
cp -r "$NIMBORA_TEST_DATA/gui/settings/probe" "$widget"
gui_png "$widget/back.png" 32 64 96
gui_stage "$stage" "$widget"

expect_probe() { gui_expect_box Probe "$1" "$stage/stderr.txt"; }

gui_start "$stage" -s 'widget\probe\probe.xml'
expect_probe "x"
