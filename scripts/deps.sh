#!/bin/bash
# Installs what the build and the tests need, only what is missing (safe to run again).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
pkgs=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools googletest
      libboost-date-time-dev libwine-dev wine wine64 fonts-wine xvfb socat gcc
      nsis cmark-gfm locales)
# Where the kernel runs 32-bit programs: 32-bit Wine for the 32-bit test tree, which beside wine64
# also makes a win64 prefix a 64-bit Windows with WOW64 (the setup's tests run the 32-bit setup
# there, as on the field laptops).
if [ "$("$here/rig/arch.sh")" = 32 ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
  pkgs+=(wine32:i386)
fi

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  # A mirror in the middle of a sync fails one index now and then: try again, and go on with the
  # indexes that did arrive (the install then says plainly if a package is still not found).
  for attempt in 1 2 3; do
    $SUDO apt-get update -qq && break
    [ $attempt = 3 ] && echo "deps: apt-get update failed 3 times; installing from the indexes at hand" >&2
    sleep 10
  done
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
