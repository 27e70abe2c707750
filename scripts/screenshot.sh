#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the desktop console under a virtual X server, types a few commands and saves a picture
# of the screen to docs/screenshot.png.
#
# Needs: Xvfb (xvfb), xdotool, import (imagemagick), and a built zelk (default build/src/zelk).
# Usage: scripts/screenshot.sh [path/to/zelk] [output.png]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
zelk=${1:-$root/build/src/zelk}
output=${2:-$root/docs/screenshot.png}
[ -x "$zelk" ] || { echo "screenshot.sh: no zelk at $zelk (build it first)" >&2; exit 1; }
zelk=$(realpath "$zelk")
output=$(realpath -m "$output")
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshot.sh: $tool is missing" >&2; exit 1; }
done

# A scratch home and start-up directory: the user's settings and options file stay untouched.
scratch=$(mktemp -d)
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
zelk_pid=
cleanup() {
  [ -n "$zelk_pid" ] && kill "$zelk_pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
(cd "$scratch" && HOME=$scratch XDG_RUNTIME_DIR=$scratch exec "$zelk") >/dev/null 2>&1 &
zelk_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name 'Zelk' | head -n 1)
[ -n "$window" ] || { echo "screenshot.sh: the Zelk window did not appear" >&2; exit 1; }
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 0.5

type_line() {
  xdotool type --delay 15 "$1"
  xdotool key Return
}
type_line 'Version'
type_line 'sv_quake2_dir = "/opt/Quake2";'
type_line 'game ctf'
type_line 'map q2dm1'
type_line 'status'
xdotool type --delay 15 'say "Hello World"'
sleep 0.5

mkdir -p "$(dirname "$output")"
import -window root "$output"
echo "saved $output"
