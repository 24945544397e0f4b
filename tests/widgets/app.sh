#!/bin/bash
# The note pad sample: its window opens with the tool bar, the pages and the
# status bar drawn; the New command clicked on the tool button, then chosen
# from the File menu with the keyboard, runs the action's one handler, which
# counts in the status bar.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
gui_stage "$stage" "$NIMBORA_TEST_DATA/../../widgets/app"
gui_start "$stage" -s 'widget\app\app.xml'
form=$(gui find --title "ノート - 無題" --visible --timeout 15000) || gui_fail "no note pad window"
# part CLASS: "visible left,top,right,bottom text" of the first window of that class in the form.
part() { gui controls "$form" | tr -d '\r' | awk -F'\t' -v c="$1" '$1 == c { print $2, $3, $4; exit }'; }
status() { part TStatusBar | cut -d' ' -f3-; }
says() { [ "$(status)" = "$1" ]; }
# drawn CLASS: more than one colour in 60 x 12 pixels of that window, past its corner.
drawn() {
    local bounds left top
    read -r _ bounds _ <<<"$(part "$1")"
    IFS=, read -r left top _ <<<"$bounds"
    gui pixels "$form" $((left + 4)) $((top + 4)) 60 12 |
        python3 -c 'import sys; sys.exit(0 if len(set(sys.stdin.read().split())) > 1 else 1)'
}
gui_wait_for 10 says "準備完了" || gui_fail "the status bar says \"$(status)\""
for class in TToolBar TPageControl TStatusBar; do
    [[ $(part $class) == 1\ * ]] || gui_fail "no visible $class"
    drawn $class || gui_fail "$class drew nothing"
done
read -r _ bounds _ <<<"$(part TToolBar)"
IFS=, read -r left top right bottom <<<"$bounds"
gui click $((left + 12)) $(((top + bottom) / 2)) --window "$form"
gui_wait_for 5 says "新規 1" || gui_fail "the tool button: the status bar says \"$(status)\""
gui key alt+f
sleep 0.5
gui key n
gui_wait_for 5 says "新規 2" || gui_fail "the File menu's New: the status bar says \"$(status)\""
gui_screenshot "$GUI_WORK/app.png"
echo "screenshot: $GUI_WORK/app.png"
gui_kill "$GUI_PID"
echo "app: every check passed"
