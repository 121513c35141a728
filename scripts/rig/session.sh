#!/bin/bash
# The test rig's session: a private Wine prefix under the build tree, an Xvfb display and one
# persistent wineserver shared by every test of a run.
#   session.sh start <build-dir> <32|64>   creates what is missing, starts Xvfb and wineserver
#   session.sh stop <build-dir>            stops them by their PIDs
# The state goes to <build-dir>/rig/env, which the Wine wrapper (wine-run) reads.
set -euo pipefail
cmd=$1 build=$(cd "$2" && pwd)
rig=$build/rig
mkdir -p "$rig"

stop() {
  [ -f "$rig/xvfb.pid" ] && kill "$(cat "$rig/xvfb.pid")" 2>/dev/null || true
  rm -f "$rig/xvfb.pid"
  [ -f "$rig/env" ] || return 0
  . "$rig/env"
  "$WINESERVER" -k >/dev/null 2>&1 || true
}

start() {
  local bits=$1
  stop
  local wine=/usr/lib/wine/wine arch=win32
  if [ "$bits" = 64 ]; then wine=/usr/lib/wine/wine64; arch=win64; fi
  local display xdisplay
  if [ -n "${RIG_DISPLAY:-}" ]; then
    xdisplay=$RIG_DISPLAY  # the operator's own display (make demo with a screen)
  else
    # Xvfb picks a free display itself and names it once it accepts clients: a number chosen
    # here could be taken meanwhile, or be busy in a way files in /tmp do not show (a chroot).
    rm -f "$rig/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$rig/display" >/dev/null 2>&1 &
    echo $! > "$rig/xvfb.pid"
    for _ in $(seq 100); do [ -s "$rig/display" ] && break; sleep 0.1; done
    display=$(cat "$rig/display")
    [ -n "$display" ] || { echo "session: Xvfb did not start" >&2; exit 1; }
    xdisplay=:$display
  fi
  cat > "$rig/env" <<ENV
export WINEPREFIX=$build/wineprefix
export WINEARCH=$arch
export WINE=$wine
export WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d"
export DISPLAY=$xdisplay
export LANG=\${RIG_LANG:-ru_RU.UTF-8}
export RIG_DIR=$rig
ENV
  . "$rig/env"
  [ -f "$WINEPREFIX/$ready_mark" ] || make_prefix
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null
  "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
  [ -f "$WINEPREFIX/$warm_mark" ] || warm_file_dialog
}

# The prefix counts as made only once its mark is written, last: a setup that failed or was
# interrupted leaves no mark and is redone from nothing on the next run.
ready_mark=.rig-ready
make_prefix() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  # wineboot runs with its own short-lived wineserver (a persistent one started on an empty
  # prefix makes wineboot hang); the session's persistent one comes after.
  "$WINE" wineboot -i >/dev/null 2>&1 </dev/null || true
  "$WINESERVER" -w  # the registry reaches the disk when the server ends
  [ -f "$WINEPREFIX/system.reg" ] || { echo "session: wineboot did not make the prefix" >&2; exit 1; }
  local font
  for font in tahoma.ttf tahomabd.ttf marlett.ttf; do
    cp "/usr/share/wine/fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/" \
      || { echo "session: font $font is missing (package fonts-wine; run make deps)" >&2; exit 1; }
  done
  map_com_ports
  "$WINESERVER" -w
  grep -q '^"COM40"=' "$WINEPREFIX/system.reg" || { echo "session: the COM ports were not mapped" >&2; exit 1; }
  touch "$WINEPREFIX/$ready_mark"
}

# The common file dialog's first start on a new machine and prefix takes long (more than 30 s on
# 2 busy cores; about a second afterwards): it is opened once here, before any test, in the folder
# the tests run in. A build without the rig's tools (make demo) leaves that to a later session.
warm_mark=.rig-file-dialog
warm_file_dialog() {
  local tool=$build/rigtools/warm-file-dialog.exe
  [ -f "$tool" ] || return 0
  if (cd "$build/bin" && timeout 600 "$WINE" "$tool" </dev/null >/dev/null 2>&1); then
    touch "$WINEPREFIX/$warm_mark"
  else
    echo "session: the file dialog did not open and close; a test may meet its first start" >&2
  fi
}

# COM1..COM40 point at fixed link names under rig/pty; wine-run makes socat create the links.
map_com_ports() {
  mkdir -p "$rig/pty"
  local reg=$rig/ports.reg n
  printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n' > "$reg"
  for n in $(seq 1 40); do
    ln -sfn "$rig/pty/com$n" "$WINEPREFIX/dosdevices/com$n"
    printf '"COM%d"="%s"\r\n' "$n" "$rig/pty/com$n" >> "$reg"
  done
  "$WINE" regedit /S "$(winepath_of "$reg")" </dev/null >/dev/null 2>&1 || true
}

winepath_of() { echo "Z:${1//\//\\}"; }

case $cmd in
  start) start "${3:-32}" ;;
  stop) stop ;;
  *) echo "usage: session.sh start|stop <build-dir> [32|64]" >&2; exit 2 ;;
esac
