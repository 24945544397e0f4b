#!/bin/bash
# Runs each benchmark script (bench/scripts/*.dms, or the files given) through
# the engine under Wine, each in its own process (build/bench/evaluator.exe),
# and through the peers Duktape (duk), MuJS (mujs) and QuickJS (qjs: from
# NIMBORA_QJS, the PATH or ../shared/tools/qjs beside the repository) natively
# on the same machine, and prints the times (best of several runs: the peers'
# processor time, user and system; ours the elapsed time of the run without
# the process start, as Wine counts processor time in 10 ms steps) with our time's ratio to
# each peer, our process's private memory at start-up and at its peak, and
# last the geometric mean of each column. The scripts are written in the
# ECMAScript all four understand; a peer whose result differs from ours is
# marked. On a loaded machine compare best-of figures only.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
. "$root/scripts/env.sh"
build="${NIMBORA_BUILD:-$NIMBORA_DEFAULT_BUILD}"
program="$build/bench/evaluator.exe"
runs="${NIMBORA_BENCH_RUNS:-3}"
[ -x "$program" ] || { echo "evaluator.sh: build $program first" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The engine runs from a copy without debug information: Wine reads debug
# sections it cannot map into private memory, which would swamp the figures.
"$NIMBORA_TRIPLET-strip" -o "$work/evaluator.exe" "$program"

# QuickJS is no Debian package: its program may stand beside the repository.
qjs="${NIMBORA_QJS:-$(command -v qjs || true)}"
[ -n "$qjs" ] || qjs="$root/../shared/tools/qjs"

# peerRun PROGRAM FILE: "milliseconds result" of the best run; a run over two
# seconds is not repeated.
peerRun() {
    command -v "$1" >/dev/null || { echo "- (no $1)"; return; }
    local best="" ms result="" TIMEFORMAT='%3U %3S'
    for ((run = 0; run < runs; run++)); do
        ms="$( { time "$1" "$2" > "$work/peer.txt" 2>&1; } 2>&1 | awk '{ printf "%.0f", ($1 + $2) * 1000 }')"
        result="$(tr '\n' ' ' < "$work/peer.txt" | sed 's/ *$//')"
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best="$ms"; fi
        [ "$ms" -gt 2000 ] && break
    done
    echo "$best $result"
}

ratio() { awk -v e="$1" -v p="$2" 'BEGIN { if (p > 0 && e != "") printf "%.2f", e / p; else print "-" }'; }

# The rows' figures (ours, duk, mujs, qjs ms, start and peak KiB) for the
# geometric means; a time of 0 counts as 1 ms. A ratio's mean is taken over
# the rows timed by both, and is so the ratio of those rows' mean times.
columns="$work/columns.txt"
: > "$columns"
geometricMeans() {
    awk 'function lg(v) { return log(v > 0 ? v : 1) }
         { for (i = 1; i <= 6; i++) if ($i != "-") { sum[i] += lg($i); n[i]++ }
           for (p = 2; p <= 4; p++) if ($1 != "-" && $p != "-") { r[p] += lg($1) - lg($p); m[p]++ } }
         END { mean(1); for (p = 2; p <= 4; p++) { mean(p); printf " %s", m[p] ? sprintf("%.2f", exp(r[p] / m[p])) : "-" }
               mean(5); mean(6) }
         function mean(i) { printf " %s", n[i] ? sprintf("%.0f", exp(sum[i] / n[i])) : "-" }' "$columns"
}

scripts=("$@")
[ ${#scripts[@]} -gt 0 ] || scripts=("$here"/scripts/*.dms)
format='%-12s %9s %9s %6s %9s %6s %9s %6s %11s %9s  %s\n'
printf "$format" script "ours ms" "duk ms" ratio "mujs ms" ratio "qjs ms" ratio "start KiB" "peak KiB" result
for script in "${scripts[@]}"; do
    name="$(basename "$script")"
    # script compile MS run MS start KIB peak KIB result...; the best of
    # several processes, as for the peers (a process's times move with where
    # the machine places it, for theirs and ours alike).
    ours=""
    for ((run = 0; run < runs; run++)); do
        line="$("$root/scripts/wine-run.sh" "$work/evaluator.exe" "Z:$script" 2>/dev/null | tr -d '\r')"
        read -r _ _ _ _ _ ms _ _ start _ _ peak _ result <<< "$line"
        if [ -n "${ms:-}" ] && { [ -z "$ours" ] || [ "$ms" -lt "$ours" ]; }; then ours="$ms"; fi
    done
    { echo 'function report(x) { print(x); }'; cat "$script"; } > "$work/peer.js"
    read -r duk_ms duk_result <<< "$(peerRun duk "$work/peer.js")"
    read -r mujs_ms mujs_result <<< "$(peerRun mujs "$work/peer.js")"
    read -r qjs_ms qjs_result <<< "$(peerRun "$qjs" "$work/peer.js")"
    note="$result"
    [ "$duk_result" = "$result" ] || note+="  (duk: $duk_result)"
    [ "$mujs_result" = "$result" ] || note+="  (mujs: $mujs_result)"
    [ "$qjs_result" = "$result" ] || note+="  (qjs: $qjs_result)"
    row=("${ours:--}" "$duk_ms" "$(ratio "${ours:-}" "$duk_ms")" "$mujs_ms" "$(ratio "${ours:-}" "$mujs_ms")"
         "$qjs_ms" "$(ratio "${ours:-}" "$qjs_ms")" "${start:--}" "${peak:--}")
    printf "$format" "$name" "${row[@]}" "$note"
    echo "${ours:--} $duk_ms $mujs_ms $qjs_ms ${start:--} ${peak:--}" >> "$columns"
done
read -r -a means <<< "$(geometricMeans)"
printf "$format" "geo. mean" "${means[@]}" ""
