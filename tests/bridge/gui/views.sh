#!/bin/bash
# A list view of a widget script under the real mouse and keyboard: a click
# on a column header reaches onColumnClick, whose sort (by caption without a
# compare of its own, by number with one) reorders the rows; a caption edited
# in place (a second click on the selected row, a name typed, Enter) reaches
# onEdited with the typed text and becomes the item's caption.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA/gui/views"
gui_start "$stage" -s 'widget\views\views.xml'
form=$(gui find --title "Views form" --visible --timeout 10000) || gui_fail "no form"
# rect CLASS: the rectangle "left,top,right,bottom" in the form's client area
# of the first window of that class inside it.
rect() {
    gui controls "$form" | tr -d '\r' | awk -F'\t' -v c="$1" '$1 == c { print $3; exit }'
}
IFS=, read -r hl ht hr hb <<<"$(rect SysHeader32)"
[ -n "$hb" ] || gui_fail "no column header"
header_y=$(( (ht + hb) / 2 ))
# The columns are 150 wide: the name's header, then the size's.
gui click $(( hl + 75 )) $header_y --window "$form"
sleep 0.5
gui click $(( hl + 225 )) $header_y --window "$form"
sleep 0.5
# The first row lies just below the header: select it, then click it again
# (after the double-click time) to edit its caption.
row_y=$(( hb + 8 ))
gui click $(( hl + 30 )) $row_y --window "$form"
sleep 1
gui click $(( hl + 30 )) $row_y --window "$form"
edit_open() { gui controls "$form" | tr -d '\r' | awk -F'\t' '$1 == "Edit" && $2 == "1" { found = 1 } END { exit !found }'; }
gui_wait_for 5 edit_open || gui_fail "no edit for the caption"
gui type kiwi
gui key enter
sleep 0.5
gui click $(gui_centre "$form" Done) --window "$form" || gui_fail "no Done button"
gui_expect_box Views "$(printf 'column Name true\napple,fig,pear\ncolumn Size true\nfig,pear,apple\nedited fig to kiwi\nkiwi,pear,apple')" "$stage/stderr.txt"
echo "views: every check passed"
