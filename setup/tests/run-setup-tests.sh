#!/bin/bash
# Runs the setup's tests in a Wine prefix of their own, made afresh, with its own wineserver:
# what a setup installs and removes must not leak into the prefix the other tests share.
#   run-setup-tests.sh <rig dir> <setup_tests.exe> <setup.exe> [gtest options]
# The rig's session gives the display, the Wine binaries and the Russian regional settings.
set -u
rig=$1 tests=$2 setup=$3
shift 3
. "$rig/env"
export WINEPREFIX=$rig/setup-prefix
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
