#!/bin/bash
# Starts the network test server (tests/net/servers/testserver.py) on
# 127.0.0.1:18081, times curl fetching the 10 MB body (median of 5), runs
# build/bench/network.exe under Wine for the client's figures, and stops the
# server by its process id.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
. "$root/scripts/env.sh"
build="${NIMBORA_BUILD:-$NIMBORA_DEFAULT_BUILD}"
program="$build/bench/network.exe"
[ -f "$program" ] || { echo "network.sh: build $program first" >&2; exit 1; }

/usr/bin/python3 "$root/tests/net/servers/testserver.py" --idle 120 --plain 18081 >/dev/null 2>&1 </dev/null &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do curl -s -o /dev/null http://127.0.0.1:18081/small && break; sleep 0.1; done

times=()
for run in 1 2 3 4 5; do
    times+=("$(curl -s -o /dev/null -w '%{time_total}' 'http://127.0.0.1:18081/big?10485760')")
done
printf 'curl, the same 10 MB:     %8.1f ms (median of 5)\n' \
    "$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p | awk '{ print $1 * 1000 }')"
"$root/scripts/wine-run.sh" "$program" 2>/dev/null | tr -d '\r'
