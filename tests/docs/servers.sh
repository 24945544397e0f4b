#!/bin/bash
# The servers of the guide's examples, a CTest fixture: "start WORK" starts on
# 127.0.0.1 the HTTP server of docs/examples/site (serve.py, 18391) and a mail
# server (aiosmtpd, 18392) and records their ids in WORK/pids; "stop WORK"
# stops them by id.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
action=$1 work=$2
python=/usr/bin/python3

# wait_port PORT: until something listens there (10 s at most).
wait_port() {
    local i
    for i in $(seq 100); do
        "$python" -c "import socket,sys; socket.create_connection(('127.0.0.1', $1), 1)" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "nothing listens on $1" >&2
    return 1
}

case $action in
start)
    mkdir -p "$work" && rm -rf "$work/mail" && : >"$work/pids"
    setsid "$python" "$here/serve.py" 18391 "$here/../../docs/examples/site" >"$work/serve.log" 2>&1 </dev/null &
    echo $! >>"$work/pids"
    setsid timeout 3600 "$python" -m aiosmtpd -n -l 127.0.0.1:18392 -c aiosmtpd.handlers.Mailbox "$work/mail" \
        >"$work/aiosmtpd.log" 2>&1 </dev/null &
    echo $! >>"$work/pids"
    wait_port 18391 && wait_port 18392
    ;;
stop)
    [ -f "$work/pids" ] || exit 0
    while read -r pid; do kill "$pid" 2>/dev/null || true; done <"$work/pids"
    rm -f "$work/pids"
    ;;
esac
