# start_xvfb / stop_xvfb: a private X server on a free display number (sourced).
start_xvfb() {
    local n owner
    for n in $(seq 90 140); do
        # A lock left by a server that is gone does not hold the display: Xvfb takes it over.
        owner=
        [ -e "/tmp/.X$n-lock" ] && read -r owner <"/tmp/.X$n-lock" 2>/dev/null
        [ -n "$owner" ] && kill -0 "$owner" 2>/dev/null && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        NIMBORA_XVFB_PID=$!
        local i
        for i in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
            kill -0 "$NIMBORA_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
    done
    echo "xvfb: no display could be started" >&2
    return 1
}

stop_xvfb() {
    [ -n "${NIMBORA_XVFB_PID:-}" ] && kill "$NIMBORA_XVFB_PID" 2>/dev/null && wait "$NIMBORA_XVFB_PID" 2>/dev/null
    NIMBORA_XVFB_PID=
}
