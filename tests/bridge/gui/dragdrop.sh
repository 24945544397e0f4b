#!/bin/bash
# A real OLE drag between two forms of a widget script, under the mouse of
# the GUI kit: files (one with a Japanese name, one that does not exist) and
# then a text go from one form's panel to the other's, which takes drops
# (acceptDrop). Then the kit itself, another program, drags files and a text
# onto that panel offering copy, move and link: the panel must answer copy
# for the files and link for the text, never move (the source would delete
# its files). A drag asked for afterwards with no button down, the pointer
# resting on the target, carries nothing.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA/gui/dragdrop"
gui_start "$stage" -s 'widget\dragdrop\dragdrop.xml'
source=$(gui find --title "Drag source" --visible --timeout 10000) || gui_fail "no source form"
target=$(gui find --title "Drop target" --visible --timeout 10000) || gui_fail "no target form"
# centre HANDLE: the screen centre of a top-level window.
centre() {
    gui list | tr -d '\r' | awk -F'\t' -v h="$1" '$1 == h { split($6, r, ","); print int((r[1] + r[3]) / 2), int((r[2] + r[4]) / 2 + 10); exit }'
}
from=$(centre "$source") to=$(centre "$target")
[ -n "$from" ] && [ -n "$to" ] || gui_fail "no window rectangles"
# Slow drags (3 s each): the script's handler starts the drag loop only once
# it has the button press, later on a busy machine.
sleep 1
gui drag $from $to --steps 100 || gui_fail "the files drag"
sleep 1
gui drag $from $to --steps 100 || gui_fail "the text drag"
# From below the source form, clear of both forms.
outside="${from%% *} $(( ${from##* } + 200 ))"
files="$stage/widget/dragdrop/files"
effect=$(gui dragout $outside $to files "$(gui_windows_path "$files/日本.txt")" "$(gui_windows_path "$files/a.txt")" \
    --steps 50 --timeout 15000) || gui_fail "the kit's files drag"
[ "$effect" = copy ] || gui_fail "the kit's files drag was answered $effect, expected copy"
effect=$(gui dragout $outside $to text "外から drop" --steps 50 --timeout 15000) || gui_fail "the kit's text drag"
[ "$effect" = link ] || gui_fail "the kit's text drag was answered $effect, expected link"
gui_expect_box Drops "$(printf 'files true true a.txt|日本.txt\ntext true Hello drop\nfiles true true 日本.txt|a.txt\ntext true 外から drop')" \
    "$stage/stderr.txt"
echo "dragdrop: every check passed"
