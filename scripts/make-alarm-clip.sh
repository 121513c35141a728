#!/bin/bash
# Makes the alarm clip app/res/cartoon.mp3: a two-tone warble of about 1.8 s, MPEG-1 Layer III,
# 44.1 kHz joint stereo at a constant 160 kbit/s (frames of 522 bytes, the block size the player
# declares to the codec), behind a small ID3v2 tag. Needs sox and lame (apt-get install sox lame).
# The clip is committed; run this only to make it again.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$here/../app/res/cartoon.mp3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Three rounds of 880 Hz then 660 Hz, 0.3 s each, faded in and out to avoid clicks.
sox -n -r 44100 -c 2 -b 16 "$tmp/hi.wav" synth 0.3 sine 880 fade t 0.01 0.3 0.02 vol 0.6
sox -n -r 44100 -c 2 -b 16 "$tmp/lo.wav" synth 0.3 sine 660 fade t 0.01 0.3 0.02 vol 0.6
sox "$tmp/hi.wav" "$tmp/lo.wav" "$tmp/hi.wav" "$tmp/lo.wav" "$tmp/hi.wav" "$tmp/lo.wav" "$tmp/alarm.wav"

lame --quiet -m j -b 160 --cbr --resample 44.1 --noreplaygain --nores -t \
     --id3v2-only --tt "Alarm" "$tmp/alarm.wav" "$out"
echo "$out: $(stat -c %s "$out") bytes"
