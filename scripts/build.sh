#!/bin/bash
# Builds the whole tree, tests included, for one architecture (default i686:
# the 32-bit program, which machines that run no 32-bit code can build but not
# run) and runs nothing. A warning fails the build.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
export NIMBORA_ARCH="${1:-i686}"
bash "$here/setup.sh" --build-only
. "$here/env.sh"
build="${NIMBORA_BUILD:-$NIMBORA_DEFAULT_BUILD}"
cmake -S "$NIMBORA_ROOT" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$NIMBORA_TOOLCHAIN" \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build "$build" -j"${NIMBORA_JOBS:-$(nproc)}"
