#!/bin/bash
# Runs the benchmark scripts (bench/scripts/*.dms) through the engine under
# Wine (build/bench/evaluator.exe) and prints each one's time beside the
# times Duktape 2.7 and MuJS took for the same work natively, as recorded in
# the table below (another machine, CPU time, best of several runs: the
# ratios tell the order of the gap, not its exact size). The scripts are
# written in the ECMAScript all three understand.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${NIMBORA_BUILD:-$root/build}"
program="$build/bench/evaluator.exe"
[ -x "$program" ] || { echo "evaluator.sh: build $program first" >&2; exit 1; }

# script, Duktape ms, MuJS ms
peers="fib.dms 110 60
methods.dms 260 200
sort.dms 440 190
members.dms 190 160
loop.dms 1400 1100
appends.dms 2100 3800"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$root/scripts/wine-run.sh" "$program" 2>/dev/null | tr -d '\r' > "$work/engine.txt"
printf '%-12s %10s %11s %8s %8s %8s\n' script "engine ms" "duktape ms" ratio "mujs ms" ratio
for script in "$here"/scripts/*.dms; do
    name="$(basename "$script")"
    engine_ms="$(awk -v n="$name" '$1 == n { print $6 }' "$work/engine.txt")"
    read -r duk mujs <<< "$(awk -v n="$name" '$1 == n { print $2, $3 }' <<< "$peers")"
    ratio() { awk -v e="$engine_ms" -v p="$1" 'BEGIN { if (p > 0 && e != "") printf "%.1f", e / p; else print "-" }'; }
    printf '%-12s %10s %11s %8s %8s %8s   %s\n' "$name" "${engine_ms:--}" "${duk:--}" "$(ratio "${duk:-0}")" \
        "${mujs:--}" "$(ratio "${mujs:-0}")" \
        "$(awk -v n="$name" '$1 == n { $1=$2=$3=$4=$5=$6=$7=""; print }' "$work/engine.txt" | sed 's/^ *//')"
done
