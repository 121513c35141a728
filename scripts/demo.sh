#!/bin/bash
# `make demo`: builds what the demo runs, starts devsim for every segment of examples/controller.xml
# (on the far ends of two pty pairs, COM4 and COM6) and runs orvex on it in build/demo/.
# With a display (DISPLAY set) the operator works the window until "Выход". Without one, orvex
# runs under Xvfb for DEMO_SECONDS (default 20) with the links checked, recording on,
# acquisition started and the RRG-12's set point set on the gas-mixture tab; then the screenshots and the CSV file are left in build/demo/
# (`make guide-images` copies the screenshots into docs/images/ for the operator's guide).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bits=$("$top/scripts/rig/arch.sh")
preset=test$bits
cd "$top"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target orvex norvctrl devsim demo_driver
build=$top/build/$preset
seconds=${DEMO_SECONDS:-20}
if [ -n "${DISPLAY:-}" ]; then
  export RIG_DISPLAY=$DISPLAY
  seconds=0
fi
"$top/scripts/rig/session.sh" start "$build" "$bits"
trap '"$top/scripts/rig/session.sh" stop "$build"' EXIT
work=$top/build/demo
rm -rf "$work"
mkdir -p "$work"
winpath() { local p=${1//\//\\}; echo "Z:$p"; }
# Unattended, orvex runs on a Wine desktop of its own, which draws the window frames that the
# screenshots of the operator's guide show.
desktop=()
[ "$seconds" = 0 ] || desktop=(explorer /desktop=orvex-demo,1280x1024)
RIG_PTYS=0 RIG_PAIRS_WANT="3:4 5:6" "$build/wine-run" "${desktop[@]}" "$(winpath "$build/bin/demo_driver.exe")" \
  "$(winpath "$top/examples")" "$(winpath "$work")" "$seconds" | tr -d '\r' | sed 's|Z:\\|/|; s|\\|/|g'
