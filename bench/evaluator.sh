#!/bin/bash
# Runs the benchmark scripts (bench/scripts/*.dms) through the engine under
# Wine (build/bench/evaluator.exe) and natively through Duktape's "duk", and
# prints each one's times and the ratio engine/Duktape. Both define report(x)
# before each script, which are written in the ECMAScript both understand.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${NIMBORA_BUILD:-$root/build}"
program="$build/bench/evaluator.exe"
[ -x "$program" ] || { echo "evaluator.sh: build $program first" >&2; exit 1; }
command -v duk >/dev/null || { echo "evaluator.sh: duk (Debian package duktape) is missing" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
echo 'function report(x) { print(x); }' > "$work/prelude.js"

"$root/scripts/wine-run.sh" "$program" 2>/dev/null | tr -d '\r' > "$work/engine.txt"
printf '%-12s %12s %12s %8s\n' script "engine ms" "duktape ms" ratio
for script in "$here"/scripts/*.dms; do
    name="$(basename "$script")"
    engine_ms="$(awk -v n="$name" '$1 == n { print $6 }' "$work/engine.txt")"
    cat "$work/prelude.js" "$script" > "$work/$name.js"
    best=""
    for run in 1 2 3; do
        start=$(date +%s%N)
        duk "$work/$name.js" > "$work/duk.out"
        end=$(date +%s%N)
        ms=$(( (end - start) / 1000000 ))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    ratio="$(awk -v e="$engine_ms" -v d="$best" 'BEGIN { if (d > 0 && e != "") printf "%.1f", e / d; else print "-" }')"
    printf '%-12s %12s %12s %8s   %s | %s\n' "$name" "${engine_ms:--}" "$best" "$ratio" \
        "$(awk -v n="$name" '$1 == n { $1=$2=$3=$4=$5=$6=$7=""; print }' "$work/engine.txt" | sed 's/^ *//')" \
        "$(tr '\n' ' ' < "$work/duk.out")"
done
