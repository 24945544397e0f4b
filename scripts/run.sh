#!/bin/bash
# Sets up a fresh machine when needed, builds Nimbora and starts it with a sample
# widget; without a display it runs in a private Xvfb and saves a screenshot.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
. "$here/env.sh"
build="${NIMBORA_BUILD:-$NIMBORA_DEFAULT_BUILD}"
cmake -S "$NIMBORA_ROOT" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$NIMBORA_TOOLCHAIN" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$here/wine-run.sh" >/dev/null
cmake --build "$build" -j"$(nproc)" --target nimbora
echo "run: built $build/host/nimbora.exe"
echo "run: the widget host is not built yet; it will start in the tray and load widgets/clock/clock.xml"
