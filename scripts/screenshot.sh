#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the desktop console under a virtual X server with a window manager (openbox), types a few
# commands and saves a picture of the screen.
#
# Scenes:
#   prompt      (default) a few settings, the status listing and a line being typed;
#                saved to docs/screenshot.png
#   scrollback  output that scrolled off the top, read again with Shift+PageUp, with a selection
#                made by dragging the mouse; saved to docs/screenshot-scrollback.png
#
# Needs: Xvfb (xvfb), openbox, xdotool, xprop (x11-utils), import (imagemagick), and a built zelk
# (default build/src/zelk).
# Usage: scripts/screenshot.sh [path/to/zelk] [output.png] [scene]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
zelk=${1:-$root/build/src/zelk}
scene=${3:-prompt}
case $scene in
  prompt) default_output=$root/docs/screenshot.png ;;
  scrollback) default_output=$root/docs/screenshot-scrollback.png ;;
  *) echo "screenshot.sh: unknown scene '$scene' (prompt or scrollback)" >&2; exit 2 ;;
esac
output=${2:-$default_output}
[ -x "$zelk" ] || { echo "screenshot.sh: no zelk at $zelk (build it first)" >&2; exit 1; }
zelk=$(realpath "$zelk")
output=$(realpath -m "$output")
for tool in Xvfb openbox xdotool xprop import; do
  command -v "$tool" >/dev/null || { echo "screenshot.sh: $tool is missing" >&2; exit 1; }
done

# A scratch home and start-up directory: the user's settings and options file stay untouched.
# shellcheck source=x-session.sh
. "$(dirname "$0")/x-session.sh"

scratch=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

# Without a window manager no window is active (the keys would reach nothing) and no frame is
# drawn.
start_x_session 1280x800 "$scratch" || { echo "screenshot.sh: no X session" >&2; exit 1; }

(cd "$scratch" && QT_QPA_PLATFORM=xcb exec "$zelk") >"$scratch/zelk.log" 2>&1 &
pids+=($!)
window=$(timeout 30 xdotool search --sync --onlyvisible --name 'Zelk' | head -n 1)
[ -n "$window" ] || { echo "screenshot.sh: the Zelk window did not appear" >&2; exit 1; }
wait_for sh -c "xprop -id $window _NET_FRAME_EXTENTS | grep -q ="
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 1

type_line() {
  xdotool type --delay 15 "$1"
  xdotool key Return
}
type_line 'Version'
type_line 'sv_quake2_dir = "/opt/Quake2";'
type_line 'game ctf'
type_line 'map q2dm1'
type_line 'status'
if [ "$scene" = prompt ]; then
  xdotool type --delay 15 'say "Hello World"'
else
  # Two pages of the command list and the status listing again: the first lines scroll off the
  # top of the console. A page back shows them; a drag selects part of the command list.
  type_line 'cmdlist'
  type_line 'cmdlist'
  type_line 'status'
  xdotool type --delay 15 'sv_load_dir = "'
  sleep 0.3
  xdotool key shift+Prior
  sleep 0.3
  # The console's top left corner in the window: below the menu bar and the toolbar. Rows are
  # 14 pixels and characters 7.22 pixels with the default 9-point font: from the start of a
  # command's name to the end of its help line.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  top=$((Y + 48))
  xdotool mousemove $((X + 101)) $((top + 14 * 20 + 7)) mousedown 1
  xdotool mousemove $((X + 300)) $((top + 14 * 21 + 7))
  xdotool mousemove $((X + 477)) $((top + 14 * 21 + 7)) mouseup 1
fi
sleep 0.5

mkdir -p "$(dirname "$output")"
import -window root "$output"
echo "saved $output"
