#!/bin/sh
# Draws the program icon (a green gauge panel with a trend line) at 48, 32 and 16 pixels.
set -e
out=${1:-orvex.ico}
tmp=$(mktemp -d)
for s in 48 32 16; do
  convert -size 64x64 xc:none \
    -fill '#1d5e2a' -stroke '#0b2e12' -strokewidth 3 -draw 'roundrectangle 3,3 60,60 10,10' \
    -fill '#e8f5e0' -stroke none -draw 'rectangle 10,12 53,44' \
    -stroke '#007300' -strokewidth 4 -fill none -draw 'polyline 12,38 22,30 30,34 40,18 51,22' \
    -stroke '#f2c200' -strokewidth 3 -draw 'line 10,52 53,52' \
    -resize ${s}x${s} "$tmp/icon$s.png"
done
convert "$tmp/icon48.png" "$tmp/icon32.png" "$tmp/icon16.png" "$out"
rm -rf "$tmp"
