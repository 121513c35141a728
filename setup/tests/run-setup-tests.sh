#!/bin/bash
# Runs the setup's tests in a Wine prefix of their own, made afresh, with its own wineserver:
# what a setup installs and removes must not leak into the prefix the other tests share.
#   run-setup-tests.sh <rig dir> native|wow64 <setup_tests.exe> <setup.exe> [gtest options]
# native: the tree's setup on Windows of its own bitness (the rig's kind of prefix).
# wow64: the 32-bit setup on 64-bit Windows, as on every field laptop: a win64 prefix, which
# runs 32-bit programs under WOW64 when both wine32 and wine64 are installed. Where that cannot
# run (a kernel without 32-bit programs, the 64-bit tree) it is skipped with the reason (code 77).
# The rig's session gives the display, the Wine binaries and the Russian regional settings.
set -u
rig=$1 kind=$2 tests=$3 setup=$4
shift 4
. "$rig/env"
skip() { echo "setup tests: the WOW64 run (the 32-bit setup on 64-bit Windows) is SKIPPED: $1"; exit 77; }
if [ "$kind" = wow64 ]; then
  [ "$(ORVEX_BITS='' "$(dirname "$0")/../../scripts/rig/arch.sh")" = 32 ] \
    || skip "this kernel runs no 32-bit programs"
  [ "$WINEARCH" = win32 ] || skip "this is the 64-bit test tree; plain 'make test' runs the 32-bit tree and this run"
  [ -x /usr/lib/wine/wine64 ] || { echo "setup tests: the WOW64 run needs wine64 (make deps)" >&2; exit 1; }
  export WINE=/usr/lib/wine/wine64 WINEARCH=win64 ORVEX_SETUP_WOW64=1
  export WINEPREFIX=$rig/setup-prefix-wow64
else
  export WINEPREFIX=$rig/setup-prefix
fi
# No menu entries on the Linux desktop for the Start-menu shortcuts.
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d;winemenubuilder.exe=d"
export LC_ALL=$LANG
# Wine stores Cyrillic file names (the Start-menu shortcuts) only under a UTF-8 locale of the C
# library; when the machine lacks the Russian one, it is compiled into the rig once.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
  export LOCPATH=$rig/locale
  if [ ! -d "$LOCPATH/$LANG" ]; then
    mkdir -p "$LOCPATH"
    localedef -i "${LANG%%.*}" -f UTF-8 "$LOCPATH/$LANG" || { echo "setup tests: no C library locale $LANG" >&2; exit 1; }
  fi
fi
winpath() { local p=${1//\//\\}; echo "Z:$p"; }

rm -rf "$WINEPREFIX"
# As in the rig: wineboot on its own short-lived server first, the persistent one after it.
"$WINE" wineboot -i >/dev/null 2>&1 </dev/null
"$WINESERVER" -w
"$WINESERVER" -p >/dev/null 2>&1 </dev/null
stop() { "$WINESERVER" -k >/dev/null 2>&1; "$WINESERVER" -w; }
trap stop EXIT
"$WINE" cmd /c exit </dev/null >/dev/null 2>&1

ORVEX_SETUP=$(winpath "$setup") "$WINE" "$tests" --gtest_color=no "$@" </dev/null
rc=$?
stop
trap - EXIT
[ $rc -ne 0 ] || rm -rf "$WINEPREFIX"  # a failed run leaves it to look into
exit $rc
