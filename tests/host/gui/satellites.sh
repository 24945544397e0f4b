#!/bin/bash
# A widget window's edit and web elements on their satellite windows: the
# edit's property rules and methods read back by the widget's script, typing
# into the edit firing its events, the satellites' places (clipped to the
# window, following a move while hidden, kept hidden by visible="false",
# shrinking with the window and not growing back), and the web view's control
# window inside its satellite, `src` returning with no page file left, and
# `scrollBar`. Wine's browser has no HTML engine here: it renders nothing, its
# navigations fail and its ready state never reaches 4 (complete), so neither
# the page, a finished load nor the page's context menu can be checked.
. "$GUI_KIT"

widget="$GUI_WORK/probe"
stage="$GUI_WORK/stage"
cp -r "$NIMBORA_TEST_DATA/gui/satellites/probe" "$widget"
gui_stage "$stage" "$widget"
# A page file of that name is taken: src writes "~~temp.html" and leaves this one alone.
folder="$stage/widget/probe"
echo kept >"$folder/~temp.html"

expect_probe() {
    local text
    text=$(gui msgbox --title Probe --timeout "${2:-15000}") || { cat "$stage/stderr.txt" >&2; gui_fail "no box (expected $1)"; }
    [ "$text" = "$1" ] || gui_fail "box: $(printf %q "$text"), expected $(printf %q "$1")"
    gui press --title Probe OK || gui_fail "the box stayed"
}

probe_checks=(
    'fontStyle bold='
    'fontStyle Bold, Italic=Bold,Italic'
    'align Center=left'
    'align right with blanks=right'
    'one-line text=one'
    'multiline text=true'
    'back to one line=one'
    'selText=cde'
    'selText replaced=abXf true'
    'undo=abcdef'
    'clearUndo=false'
    'double-byte selection=本 2'
    'selectAll=true 6'
    'transparency=255'
    'window transparency=128 128'
    'hidden by XML=false'
    'window font=14'
    'edit without window=x5'
    'scrollBar=true'
    'src=<p>page</p>'
    'scrollBar false=false'
    'navigate()=EVCLError'
)

gui_start "$stage" -s 'widget\probe\probe.xml'
expect_probe "$(printf '%s\n' "${probe_checks[@]}")" 90000
[ "$(cat "$folder/~temp.html")" = kept ] || gui_fail "the taken page file changed"
leftover=$(cd "$folder" && ls -- ~* | grep -vx '~temp.html' || true)
[ -z "$leftover" ] || gui_fail "page files left: $leftover"

window=$(gui find --class TSkinForm --visible --timeout 5000) || gui_fail "no widget window"

# The satellites as "handle visible left,top,right,bottom", the rectangle
# relative to the widget window's top left.
satellites() {
    local wl wt
    IFS=, read -r wl wt _ _ <<<"$(gui list --class TSkinForm --visible | tr -d '\r' | cut -f6)"
    gui list --class TOwnedForm | tr -d '\r' |
        awk -F'\t' -v x="$wl" -v y="$wt" '{ split($6, r, ","); printf "%s %s %d,%d,%d,%d\n", $1, $3, r[1]-x, r[2]-y, r[3]-x, r[4]-y }'
}
# check_satellites WHEN PLACE...: the satellites are at exactly these places ("visible rectangle").
check_satellites() {
    local when=$1 got expected
    shift
    got=$(satellites | cut -d' ' -f2- | sort)
    expected=$(printf '%s\n' "$@" | sort)
    [ "$got" = "$expected" ] || gui_fail "satellites $when: $(echo $got), expected $(echo $expected)"
}
# The edit at its place, the one hidden by XML hidden at its place, the web
# view clipped to the window's 100 x 60.
check_satellites "at first" "1 10,10,70,30" "0 10,35,40,55" "1 50,30,100,60"

# The browser's own window fills the satellite's panel: the whole element,
# cut by the satellite to what lies inside the window.
web=$(satellites | awk '$3 == "50,30,100,60" { print $1 }')
gui children "$web" | tr -d '\r' | grep -q $'\tShell Embedding\t' || gui_fail "no browser window in the web view's satellite"
IFS=, read -r wl wt _ _ <<<"$(gui list --class TSkinForm --visible | tr -d '\r' | cut -f6)"
embedding=$(gui children "$web" | tr -d '\r' | awk -F'\t' '$6 == "Shell Embedding" { print $5 }')
IFS=, read -r bl bt br bb <<<"$embedding"
[ "$((bl - wl)),$((bt - wt)),$((br - wl)),$((bb - wt))" = "50,30,130,80" ] ||
    gui_fail "browser window at $embedding, window at $wl,$wt"

# ==== Typing into the edit: its events, one line, modified ====
# Wine may keep the layered widget window above its satellites on the X
# server, so the click goes to the edit's own window, not to a screen point.
edit=$(satellites | awk '$3 == "10,10,70,30" { print $1 }')
memo=$(gui children "$edit" | tr -d '\r' | awk -F'\t' '$6 == "TExMemo" { print $1 }')
gui post "$memo" 0x201 1 0x000A0028 && gui post "$memo" 0x202 0 0x000A0028 || gui_fail "no click"
sleep 0.5
gui key end && gui type xy && gui key enter
expect_probe "$(printf '%s\n' 'onChange,onClick,onEnter,onKeyDown,onKeyUp,onMouseDown,onMouseUp' 'abxy true')"

# Moved while the edit was hidden, hidden and shown, narrowed to 80 and
# widened again, made translucent.
gui msgbox --title Probe --timeout 15000 >/dev/null || gui_fail "no box after the moves"
check_satellites "after the moves" "1 10,10,70,30" "0 10,35,40,55" "1 50,30,80,60"
for satellite in $(satellites | cut -d' ' -f1); do
    [ "$(gui alpha "$satellite" | tr -d '\r')" = 102 ] || gui_fail "satellite $satellite not at the window's transparency"
done
gui press --title Probe OK || gui_fail "the box stayed"

choose_exit() { gui tray --button right && sleep 0.5 && gui key up enter; }
gui_end "$GUI_PID" 15 choose_exit || gui_fail "the tray menu's exit did not end the program"
echo "satellites: every check passed"
