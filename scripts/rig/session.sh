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
  [ -f "$rig/env" ] || return 0
  . "$rig/env"
  "$WINESERVER" -k >/dev/null 2>&1 || true
  [ -f "$rig/xvfb.pid" ] && kill "$(cat "$rig/xvfb.pid")" 2>/dev/null || true
  rm -f "$rig/xvfb.pid"
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
    for display in $(seq 90 130); do
      [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ] || break
    done
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    echo $! > "$rig/xvfb.pid"
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$display ] && break; sleep 0.1; done
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
  # A fresh prefix is made by wineboot with its own short-lived wineserver (a persistent one
  # started on an empty prefix makes wineboot hang); the session's persistent one comes after.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$WINE" wineboot -i >/dev/null 2>&1 </dev/null || true
    "$WINESERVER" -w  # the registry reaches the disk when the server ends
    [ -f "$WINEPREFIX/system.reg" ] || { echo "session: wineboot did not make the prefix" >&2; exit 1; }
    cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf \
       /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    map_com_ports
    "$WINESERVER" -w
  fi
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null
  "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
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
