#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws the window's pictures from the project's SVG files: the toolbar strips (the buttons'
# pictures side by side, 16 by 15 pixels each at 100 % scale and 32 by 30 at 200 %, 32-bit with
# alpha) and the application icon (16 to 256 pixels).
#   make-images.sh OUTPUT_DIR RESOURCE_DIR ICON...
set -euo pipefail
out=$1 resources=$2
shift 2
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for scale in 1 2; do
  pictures=()
  for icon in "$@"; do
    rsvg-convert -w $((16 * scale)) -h $((15 * scale)) "$resources/toolbar/$icon.svg" \
      -o "$work/$icon-$scale.png"
    pictures+=("$work/$icon-$scale.png")
  done
  convert -background none "${pictures[@]}" +append -define bmp:format=bmp4 \
    "BMP:$work/strip-$scale.bmp"
  mv "$work/strip-$scale.bmp" "$out/toolbar-$((100 * scale)).bmp"
done

sizes=()
for size in 16 24 32 48 256; do
  rsvg-convert -w $size -h $size "$resources/zelk.svg" -o "$work/zelk-$size.png"
  sizes+=("$work/zelk-$size.png")
done
convert "${sizes[@]}" "$work/zelk.ico"
mv "$work/zelk.ico" "$out/zelk.ico"
