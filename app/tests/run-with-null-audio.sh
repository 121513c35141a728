#!/bin/bash
# Runs a test program under the rig with Wine's ALSA driver on a null ALSA device, so the wave
# mapper really plays. Usage: run-with-null-audio.sh <rig dir> <program.exe> [arguments...]
# Exits 77 (skipped) when a test of the program skipped for want of a device.
set -u
rig=$1 program=$2
shift 2
. "$rig/env"
export WINEDLLOVERRIDES="mscoree,mshtml=;winepulse.drv=d"
export ALSA_CONFIG_PATH=$(cd "$(dirname "$0")" && pwd)/alsa-null.conf
export LC_ALL=ru_RU.UTF-8
out=$("$WINE" "$program" "$@" 2>&1)
rc=$?
printf '%s\n' "$out"
[ $rc -eq 0 ] && grep -q '^\[  SKIPPED \]' <<<"$out" && exit 77
exit $rc
