#!/bin/bash
# The program's windows as a widget script sees them: the Global object's
# applicationHandle and mainFormHandle are the main form's window (the
# program's one application window, kept off the taskbar), and a script's
# message box is owned by it.
. "$GUI_KIT"

stage="$GUI_WORK/stage"
widgets="$GUI_WORK/widgets"
mkdir -p "$widgets/h"
printf '%s' '<widget><onload>alert(applicationHandle + " " + mainFormHandle, "Handles")</onload></widget>' \
    >"$widgets/h/h.xml"
gui_stage "$stage" "$widgets/h"

gui_start "$stage" -s 'widget\h\h.xml'
text=$(gui msgbox --title Handles --timeout 15000) || { cat "$stage/stderr.txt" >&2; gui_fail "no box Handles"; }
main=$(gui find --class TMainForm --timeout 5000) || gui_fail "no main form"
owner=$(gui owner --title Handles | tr -d '\r')
read -r application form <<<"$(tr -d '\r\n' <<<"$text")"
(( main != 0 )) || gui_fail "the main form has no window"
(( application == main )) || gui_fail "applicationHandle $application, the main form's window $((main))"
(( form == main )) || gui_fail "mainFormHandle $form, the main form's window $((main))"
(( owner == main )) || gui_fail "the box is owned by $owner, not by the main form's window $main"
gui press --title Handles OK || gui_fail "the box stayed"
gui_kill "$GUI_PID"
echo "handles: ok"
