#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the desktop console under a virtual X server with a window manager (openbox) at a small
# and a large screen size and checks the main window's frame: the title bar and borders that the
# window manager draws start at the top left of the screen's available area, and the whole frame
# fits inside that area. The window can be minimized but neither resized nor maximized.
#
# Without a window manager there is no frame, so the check needs openbox: exit status 77 (a
# skipped test) when Xvfb or openbox is missing.
#
# Usage: window-frame.sh path/to/zelk [WIDTHxHEIGHT ...]   (default: 1366x768 1920x1080)
set -eEuo pipefail
# A step that fails unexpectedly says which one, so a failed run never ends without a word.
trap 'echo "window-frame: line $LINENO: \"$BASH_COMMAND\" failed" >&2' ERR

zelk=${1:?usage: window-frame.sh path/to/zelk [WIDTHxHEIGHT ...]}
shift
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1366x768 1920x1080)
for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null || { echo "window-frame: $tool is missing: skipped"; exit 77; }
done
for tool in xdotool xprop xwininfo; do
  command -v "$tool" >/dev/null || { echo "window-frame: $tool is missing" >&2; exit 1; }
done
[ -x "$zelk" ] || { echo "window-frame: no zelk at $zelk" >&2; exit 1; }
zelk=$(realpath "$zelk")

# shellcheck source=../../scripts/x-session.sh
. "$(dirname "$0")/../../scripts/x-session.sh"

scratch=$(mktemp -d)
pids=()
stop_all() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  pids=()
}
trap 'stop_all; rm -rf "$scratch"' EXIT

# The numbers of a property, e.g. "_NET_FRAME_EXTENTS(CARDINAL) = 1, 1, 20, 1" gives "1 1 20 1".
numbers() { sed -e 's/^[^=]*=//' -e 's/,/ /g'; }

# The client area's absolute position and size: "x y width height".
client_geometry() {
  xwininfo -id "$1" | awk -F: '
    /Absolute upper-left X/ { x = $2 } /Absolute upper-left Y/ { y = $2 }
    /^ *Width/ { w = $2 } /^ *Height/ { h = $2 }
    END { print x + 0, y + 0, w + 0, h + 0 }'
}

# The frame's edges from the client area and the window manager's frame extents:
# "left top right bottom", right and bottom exclusive.
frame_edges() {
  local x y w h l r t b
  read -r x y w h < <(client_geometry "$1")
  read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | numbers)
  echo "$((x - l)) $((y - t)) $((x + w + r)) $((y + h + b))"
}

failures=0
fail() {
  echo "window-frame $size: $*" >&2
  failures=$((failures + 1))
}

# What Xvfb, openbox and Zelk printed: a failure on a busy machine is often explained there.
show_logs() {
  local log
  for log in "$1"/*.log; do
    [ -s "$log" ] && { echo "--- ${log##*/}"; cat "$log"; } >&2
  done
  return 0
}

check_size() {
  local earlier=$failures
  check_frame "$1"
  stop_all
  [ "$failures" -eq "$earlier" ] || show_logs "$scratch/$1"
}

check_frame() {
  local size=$1 width=${1%x*} height=${1#*x}
  local home=$scratch/$size
  mkdir -p "$home"

  start_x_session "$size" "$home" 2>"$home/session.log" || { fail "$(cat "$home/session.log")"; return; }
  wait_for sh -c 'xprop -root _NET_WORKAREA | grep -q =' ||
    { fail "openbox gave no available area (_NET_WORKAREA)"; return; }

  (cd "$home" && QT_QPA_PLATFORM=xcb exec "$zelk") >"$home/zelk.log" 2>&1 &
  pids+=($!)
  local window
  window=$(timeout 20 xdotool search --sync --onlyvisible --name 'Zelk' 2>/dev/null | head -n 1) ||
    true
  [ -n "$window" ] || { fail "the Zelk window did not appear"; return; }
  wait_for sh -c "xprop -id $window _NET_FRAME_EXTENTS | grep -q =" ||
    { fail "openbox drew no frame"; return; }

  local ax ay aw ah
  read -r ax ay aw ah _ < <(xprop -root _NET_WORKAREA | numbers)
  # The window settles once the window manager has framed it and Zelk has answered the frame.
  # On a busy machine that can take a while, so wait for the frame to fill the available area
  # (at most 20 seconds) and check whatever stands then.
  local edges whole="$ax $ay $((ax + aw)) $((ay + ah))" until=$((SECONDS + 20))
  while edges=$(frame_edges "$window") && [ "$edges" != "$whole" ] && [ "$SECONDS" -lt "$until" ]; do
    sleep 0.1
  done

  local left top right bottom
  read -r left top right bottom <<<"$edges"
  echo "window-frame $size: available area $ax,$ay ${aw}x$ah; frame $left,$top to $right,$bottom"
  [ "$left" -eq "$ax" ] && [ "$top" -eq "$ay" ] ||
    fail "the frame's top left is $left,$top, not the available area's $ax,$ay"
  [ "$right" -le $((ax + aw)) ] && [ "$right" -le "$width" ] ||
    fail "the frame's right edge $right is beyond the available area (width $aw)"
  [ "$bottom" -le $((ay + ah)) ] && [ "$bottom" -le "$height" ] ||
    fail "the frame's bottom edge $bottom is beyond the available area (height $ah)"
  [ "$right" -eq $((ax + aw)) ] && [ "$bottom" -eq $((ay + ah)) ] ||
    fail "the frame ($left,$top to $right,$bottom) does not take the whole available area"

  local actions
  actions=$(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)
  [[ $actions == *_NET_WM_ACTION_MINIMIZE* ]] || fail "the window cannot be minimized"
  [[ $actions != *_NET_WM_ACTION_MAXIMIZE* ]] || fail "the window can be maximized"
  [[ $actions != *_NET_WM_ACTION_RESIZE* ]] || fail "the window can be resized"

  if [ -n "${ZELK_FRAME_SCREENSHOTS:-}" ] && command -v import >/dev/null; then
    mkdir -p "$ZELK_FRAME_SCREENSHOTS"
    import -window root "$ZELK_FRAME_SCREENSHOTS/frame-$size.png"
  fi
}

for size in "${sizes[@]}"; do check_size "$size"; done
if [ "$failures" -ne 0 ]; then
  echo "window-frame: $failures failed checks" >&2
  exit 1
fi
echo "window-frame: the whole frame is on the screen at ${sizes[*]}"
