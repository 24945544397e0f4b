#!/bin/bash
# A widget window's elements on real windows: the label's and image's
# property rules read back by the widget's script, the composed alpha of a
# `toSelf` and a `toWindow` image and of translucent labels in the window's
# layered buffer (a 50 % pixel among them), a label's ellipsis refitted after
# a font change, a timer ticking with itself as sender, a hidden window shown
# by the hotkey and by a tray click, the 10 % transparency step, dragging by an
# element in a single move, the script's menu entries before the window's own, onUnload, and
# the window's keys stored at the unload.
. "$GUI_KIT"

widget="$GUI_WORK/probe"
stage="$GUI_WORK/stage"
cp -r "$NIMBORA_TEST_DATA/gui/elements/probe" "$widget"

gui_png "$widget/back.png" 32 64 96  # tiled over the 60 x 20 window
gui_png "$widget/red.png" 255 0 0 128
gui_png "$widget/blue.png" 0 0 255

gui_stage "$stage" "$widget"
gui_config_write "$stage/nimbora.config" 'EnabledHotKey=-1'  # "HotKey" is Alt+A by default

# expect_probe TEXT: the next "Probe" box says exactly this; it is answered.
expect_probe() { gui_expect_box Probe "$1" "$stage/stderr.txt"; }

# What probe.xml's onload reports, one check a line: a missing src keeps the
# picture loaded from the widget's folder.
probe_checks=(
    'fontStyle Bold, ITALIC=bold,italic'
    'align Center=left'
    'align right with blanks=right'
    'width after a longer text=5'
    'transparency 300=255'
    'transparency -5=0'
    'src after a missing file=\red.png 10'
    'timer(500)=500'
    'timer(500.5)=0'
    'timer("500")=0'
    'timer()=1000'
    'widget paths=\probe.xml \probe\'
    'parent of a new label and edit=true [object VCLForm]'  # an edit's parent is its satellite window
)

gui_start "$stage" -s 'widget\probe\probe.xml'
expect_probe "$(printf '%s\n' "${probe_checks[@]}")"
expect_probe 'tick true'
window=$(gui find --class TSkinForm --visible --timeout 5000) || gui_fail "no widget window"

# ==== Composed alpha (premultiplied: white would arrive as 254) ====
# A pixel of the window's buffer, "aarrggbb".
pixel() { gui pixels "$window" "$1" "$2" | tr -d '\r'; }
check_pixel() {
    local got
    got=$(pixel "$1" "$2")
    [ "$got" = "$3" ] || gui_fail "pixel $1,$2: $got, expected $3 ($4)"
}
check_pixel 35 5 ff1f3f5f "the background"
# Red at alpha 128 with transparency 128: mask (128 * 128) div 255 = 64, blended by the image itself.
check_pixel 5 5 ff562e46 "toSelf image"
# Opaque blue with transparency 128 gives the window itself alpha 128 there.
check_pixel 25 5 8000007f "toWindow image"
hidden=$(gui pixels "$window" 0 10 20 10 | tr -d '\r' | tr ' \n' '\n\n' | sort -u | tr -d '\n')
[ "$hidden" = ff1f3f5f ] || gui_fail "a label at transparency 0 drew: $hidden"
gui pixels "$window" 20 10 20 10 | tr -d '\r' | grep -qv '^\(ff1f3f5f \?\)*$' || gui_fail "a label at full transparency drew nothing"

# ==== The ellipsis is refitted at every font change ====
# The three labels side by side on the same tiled background: a stale ellipsis
# (fitted in the larger font, drawn in the smaller) shows fewer letters.
label_pixels() { gui pixels "$window" "$1" 20 30 20 | tr -d '\r'; }
ref=$(label_pixels 0)
grep -qv '^\(ff1f3f5f \?\)*$' <<<"$ref" || gui_fail "the reference label drew nothing"
[ "$(label_pixels 30)" = "$ref" ] || gui_fail "the ellipsis was not refitted after the label's font changed"
[ "$(label_pixels 60)" = "$ref" ] || gui_fail "the ellipsis was not refitted after the window's font changed"

# ==== The window's menu: script entries first, in their order, then the host's ====
# menu KEYS...: opens the window's menu and presses the keys there.
menu() { gui click 50 15 --window "$window" --button right && sleep 0.5 && gui key "$@"; }
menu down enter && expect_probe 'A true'
menu down down right enter && expect_probe 'B1 true'
menu down down down enter && expect_probe 'C true'

# ==== Hidden by "非表示", shown by the hotkey and by a tray click ====
menu down down down down down enter
gui wait "$window" hidden --timeout 5000 || gui_fail "非表示 did not hide the window"
gui key alt+a
gui wait "$window" visible --timeout 5000 || gui_fail "Alt+A did not show the hidden window"
# The hotkey showed the main form too: the first tray click hides it with the window.
gui tray
gui wait "$window" hidden --timeout 5000 || gui_fail "a tray click did not hide the window with the main form"
gui tray
gui wait "$window" visible --timeout 5000 || gui_fail "a tray click did not show the hidden window"

# ==== "透明度" 10 %: transparency 255 * 10 div 100 = 25, the window's alpha ====
menu down down down down down down down down down down down right enter
alpha_25() { [[ $(pixel 35 5) == 19* ]]; }
gui_wait_for 5 alpha_25 || gui_fail "after the 10 % step the background pixel is $(pixel 35 5), expected alpha 19"

# ==== Dragging by an element (the toSelf image at the top left) ====
# The window follows the pointer from the drag's first move: a drag of one
# move takes it all the way.
# window_at: the window's left and top on the screen.
window_at() { gui list --class TSkinForm --visible | awk -F'\t' -v w="$window" '$1 == w { split($6, r, ","); print r[1], r[2] }'; }
read -r left top <<<"$(window_at)"
gui drag 5 5 45 35 --window "$window" --steps 1
moved() { [ "$(window_at)" = "$((left + 40)) $((top + 30))" ]; }
gui_wait_for 5 moved || gui_fail "dragging the image moved the window from $left,$top to $(window_at), expected +40,+30"
read -r left top <<<"$(window_at)"

# The fourth entry is "閉じる": closing the main window unloads the widget.
menu down down down down enter && expect_probe 'unloaded'
gui wait "$window" gone --timeout 5000 || gui_fail "the window stayed after 閉じる"

choose_exit() { gui tray --button right && sleep 0.5 && gui key up enter; }
gui_end "$GUI_PID" 15 choose_exit || gui_fail "the tray menu's exit did not end the program"
gui_config_check "$stage/widget/probe/probe.config" 'w/transparency=25' "w/top=$top" "w/left=$left" ||
    gui_fail "the window's stored keys"
# No widget was loaded at the exit: the stored list is empty, the hotkey kept.
gui_config_check "$stage/nimbora.config" 'EnabledHotKey=-1' || gui_fail "the program's keys after the exit"
echo "elements: every check passed"
