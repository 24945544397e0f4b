# The shell side of the GUI test kit, sourced by every GUI check (bash). It
# stages a program folder, starts the program there, drives it through the
# guikit helper, ends it, and reads and writes ".config" files. Every wait has
# a time limit. CTest gives the environment (nimbora_gui_check): GUIKIT (the
# helper), GUI_PROGRAM (the program under test), GUI_WORK (a scratch folder),
# NIMBORA_EMULATOR (scripts/wine-run.sh). Without a display a private Xvfb
# serves the check. Xvfb does not blend partial alpha: assert it in a layered
# window's buffer (gui pixels), never on a screenshot.
set -euo pipefail
: "${GUIKIT:?}" "${GUI_PROGRAM:?}" "${GUI_WORK:?}" "${NIMBORA_EMULATOR:?}"
GUI_KIT_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$GUI_KIT_DIR/../../scripts/xvfb.sh"

GUI_PIDS=()  # programs started by gui_start, ended at exit if still running

gui_cleanup() {
    local pid
    for pid in "${GUI_PIDS[@]}"; do
        kill -0 "$pid" 2>/dev/null && gui_kill "$pid"
    done
    stop_xvfb || true
}
trap gui_cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then start_xvfb; fi
rm -rf "$GUI_WORK" && mkdir -p "$GUI_WORK"

# gui_fail MESSAGE: ends the check, leaving a screenshot in GUI_WORK.
gui_fail() {
    echo "FAIL: $*" >&2
    gui_screenshot "$GUI_WORK/failure.png" 2>/dev/null && echo "screenshot: $GUI_WORK/failure.png" >&2
    exit 1
}

# gui ARGS...: runs the helper (see tests/gui/guikit.cpp for its commands).
gui() { "$NIMBORA_EMULATOR" "$GUIKIT" "$@"; }

# gui_windows_path PATH: the path as Windows programs see it.
gui_windows_path() { local p="Z:$1"; echo "${p//\//\\}"; }

# gui_wait_for SECONDS COMMAND...: runs the command every 0.1 s until it
# succeeds (0) or the time is up (1).
gui_wait_for() {
    local limit=$(( $1 * 10 )) i
    shift
    for (( i = 0; i < limit; i++ )); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# gui_centre WINDOW TEXT: the centre "X Y" of the first window inside WINDOW
# with that text, asked again for up to 5 s: a listing can come back empty
# (its Wine process failed to start on a loaded machine, or the form was
# still taking typed keys). Nothing when there is none.
gui_centre() {
    local at
    for _ in $(seq 50); do
        at=$(gui controls "$1" | tr -d '\r' | awk -F'\t' -v t="$2" '$4 == t { split($3, r, ","); print int((r[1] + r[3]) / 2), int((r[2] + r[4]) / 2); exit }')
        [ -n "$at" ] && break
        sleep 0.1
    done
    echo "$at"
}

# gui_stage FOLDER [WIDGET_FOLDER...]: a fresh program folder holding
# GUI_PROGRAM under its own name and each widget folder as widget/NAME.
gui_stage() {
    local folder=$1 widget
    shift
    rm -rf "$folder" && mkdir -p "$folder/widget"
    cp "$GUI_PROGRAM" "$folder/"
    for widget in "$@"; do cp -r "$widget" "$folder/widget/"; done
}

# gui_start FOLDER ARGS...: starts the staged program with FOLDER as its start
# folder, in a process group of its own; its id is left in GUI_PID. Standard
# output and error go to FOLDER/stdout.txt and FOLDER/stderr.txt.
gui_start() {
    local folder=$1
    shift
    setsid bash -c 'cd "$1" && shift && exec "$@"' gui_start "$folder" \
        "$NIMBORA_EMULATOR" "$folder/$(basename "$GUI_PROGRAM")" "$@" \
        >"$folder/stdout.txt" 2>"$folder/stderr.txt" </dev/null &
    GUI_PID=$!
    GUI_PIDS+=("$GUI_PID")
}

gui_kill() {
    kill -TERM -- "-$1" 2>/dev/null || true
    gui_wait_for 2 gui_gone "$1" || kill -KILL -- "-$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

gui_gone() { ! kill -0 "$1" 2>/dev/null; }

# gui_end PID SECONDS [COMMAND...]: runs the command that should end the
# program (through its menu, a message...), then waits for the program to
# exit. Past the time limit it is killed with its process group and the
# result is 1.
gui_end() {
    local pid=$1 seconds=$2
    shift 2
    [ $# -eq 0 ] || "$@" || true
    if gui_wait_for "$seconds" gui_gone "$pid"; then
        wait "$pid" 2>/dev/null || true
        return 0
    fi
    echo "gui_end: $pid still ran after $seconds s; killed" >&2
    gui_kill "$pid"
    return 1
}

# gui_expect_box TITLE TEXT [LOG]: the next message box of that title says
# exactly this and is answered with OK; on failure LOG (the program's
# standard error) is shown.
gui_expect_box() {
    local text
    text=$(gui msgbox --title "$1" --timeout 15000) || { [ -z "${3:-}" ] || cat "$3" >&2; gui_fail "no box \"$1\" (expected $2)"; }
    [ "$text" = "$2" ] || gui_fail "box \"$1\": $(printf %q "$text"), expected $(printf %q "$2")"
    gui press --title "$1" OK || gui_fail "the box \"$1\" stayed"
}

# gui_png FILE R G B [A]: a 10 x 10 picture of one colour; with A it has an
# alpha channel.
gui_png() {
    python3 - "$@" <<'PY'
import struct, sys, zlib
path, rgba = sys.argv[1], [int(v) for v in sys.argv[2:]]
kind = 6 if len(rgba) == 4 else 2
rows = b"".join(b"\0" + bytes(rgba) * 10 for _ in range(10))
chunk = lambda tag, data: struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))
open(path, "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 10, 10, 8, kind, 0, 0, 0))
                       + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
PY
}

# gui_screenshot FILE: the whole screen as a picture.
gui_screenshot() { import -window root "$1"; }

# gui_config_dump FILE: a settings file as lines "key=value" (default section)
# and "section/key=value", in file order, UTF-8.
gui_config_dump() { python3 "$GUI_KIT_DIR/configfile.py" dump "$1"; }

# gui_config_write FILE LINE...: writes a settings file as the host does, from
# lines in the form gui_config_dump gives.
gui_config_write() { python3 "$GUI_KIT_DIR/configfile.py" write "$@"; }

# gui_config_check FILE LINE...: the file holds exactly these entries in this
# order; a value "*" stands for any value. Shows the difference when not.
gui_config_check() {
    local file=$1
    shift
    python3 "$GUI_KIT_DIR/configfile.py" check "$file" "$@"
}

# gui_bright HANDLE X Y W H: succeeds when a pixel of that part of a layered
# window is light (red, green and blue all at least 0xc0, premultiplied):
# white letters drawn on a darker panel.
gui_bright() {
    gui pixels "$@" | python3 -c '
import sys
light = lambda p: all(int(p[i:i + 2], 16) >= 0xc0 for i in (2, 4, 6))
sys.exit(0 if any(light(p) for p in sys.stdin.read().split()) else 1)'
}
