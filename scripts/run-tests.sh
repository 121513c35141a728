#!/bin/bash
# Builds the test tree and runs ctest under the rig (Xvfb, one wineserver, private prefix).
#   run-tests.sh test    every test except benchmarks
#   run-tests.sh bench   the benchmarks, with their figures
#   run-tests.sh soak    the long runs against faults and bad input (SOAK_MINUTES, default 10)
# The deliverables are 32-bit, so the i686 test tree is always compiled, also on a kernel that
# cannot run it (there the 64-bit tree of the same sources is what runs).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-test}
bits=$("$top/scripts/rig/arch.sh")
preset=test$bits
cd "$top"
if [ "$bits" = 64 ]; then
  echo "note: this kernel does not run 32-bit programs; compiling the 32-bit test tree, then testing the 64-bit build of the same sources"
  echo "note: so the 32-bit setup's run on 64-bit Windows (setup_tests_wow64) is skipped"
  cmake --preset test32 >/dev/null
  cmake --build --preset test32
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
build=$top/build/$preset
"$top/scripts/rig/session.sh" start "$build" "$bits"
trap '"$top/scripts/rig/session.sh" stop "$build"' EXIT
cd "$build"
case $mode in
  bench) ctest -L bench -V ;;
  soak) SOAK_MINUTES=${SOAK_MINUTES:-10} ctest -L soak -V ;;
  *) ctest -LE 'bench|soak' --output-on-failure -j2 ${CTEST_ARGS:-} ;;
esac
