#!/bin/bash
# Builds the test tree and runs ctest under the rig (Xvfb, one wineserver, private prefix).
#   run-tests.sh test    every test except benchmarks
#   run-tests.sh bench   the benchmarks, with their figures
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-test}
bits=$("$top/scripts/rig/arch.sh")
preset=test$bits
[ "$bits" = 64 ] && echo "note: this kernel does not run 32-bit programs; testing the 64-bit build of the same sources"
cd "$top"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
build=$top/build/$preset
"$top/scripts/rig/session.sh" start "$build" "$bits"
trap '"$top/scripts/rig/session.sh" stop "$build"' EXIT
cd "$build"
if [ "$mode" = bench ]; then
  ctest -L bench -V
else
  ctest -LE bench --output-on-failure -j2 ${CTEST_ARGS:-}
fi
