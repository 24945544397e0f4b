#!/bin/bash
# A real OLE drag between two forms of a widget script, under the mouse of
# the GUI kit: files (one with a Japanese name, one that does not exist) and
# then a text go from one form's panel to the other's, which takes drops
# (acceptDrop); a drag asked for afterwards with no button down, the pointer
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
gui_expect_box Drops "$(printf 'files true true a.txt|日本.txt\ntext true Hello drop')" "$stage/stderr.txt"
echo "dragdrop: every check passed"
