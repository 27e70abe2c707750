#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the Win32 window's tests under Wine, on a virtual X server with a window manager (openbox;
# without one no window is active and no key reaches it): the test program in one process, then
# one end-to-end run of zelk-desktop.exe driven with xdotool, which opens a document, types
# `version`, copies the answer from the screen with a triple click and Ctrl+Shift+C, and ends
# with `exit`; the recent-file list in Wine's registry then names the document.
#
# One wineserver serves the whole run and Wine's services start first, with their output sent
# away, so that no test pays Wine's start-up and none keeps ctest waiting on a pipe.
#
# Usage: run-window-tests.sh WINE_PREFIX zelk_win32_tests.exe zelk-desktop.exe zelk_window_probe.exe
set -eEuo pipefail
trap 'echo "run-window-tests: line $LINENO: \"$BASH_COMMAND\" failed" >&2' ERR

prefix=${1:?usage: run-window-tests.sh WINE_PREFIX TESTS.exe zelk-desktop.exe PROBE.exe}
tests=$(realpath "$2") desktop=$(realpath "$3") probe=$(realpath "$4")
for tool in Xvfb openbox wine wineserver xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "run-window-tests: $tool is missing: skipped"; exit 77; }
done

# shellcheck source=../../scripts/x-session.sh
. "$(dirname "$0")/../../scripts/x-session.sh"

scratch=$(mktemp -d)
pids=()
stop_all() {
  local pid
  wineserver -k 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  pids=()
}
trap 'stop_all; rm -rf "$scratch"' EXIT

show_logs() {
  local log
  for log in "$scratch"/*.log; do
    [ -s "$log" ] && { echo "--- ${log##*/}"; tail -n 40 "$log"; } >&2
  done
  return 0
}

start_x_session 1280x800 "$scratch" || { show_logs; exit 1; }

mkdir -p "$prefix"
export WINEPREFIX=$(realpath "$prefix") WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -p
wineboot -i </dev/null >/dev/null 2>&1

status=0
mkdir -p "$scratch/tests"
(cd "$scratch/tests" && wine "$tests" </dev/null) || { status=1; show_logs; }

# The end-to-end run, in a folder of its own: a fresh registry key, a document to open.
reg='HKCU\Software\Local AppWizard-Generated Applications\Zelk'
wine reg delete "$reg" /f </dev/null >/dev/null 2>&1 || true
work=$scratch/run
mkdir -p "$work"
printf '// a script\n' >"$work/intro.scr"
(cd "$work" && exec wine "$desktop" intro.scr) >"$scratch/zelk.log" 2>&1 &
desktop_pid=$!
pids+=($desktop_pid)
fail() {
  echo "run-window-tests: $*" >&2
  show_logs
  exit 1
}
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^intro.scr - Zelk$' | head -n 1) ||
  fail "the window 'intro.scr - Zelk' did not appear"
xdotool windowactivate --sync "$window" || true
# The window manager offers to minimize the frame, never to resize or maximize it.
actions=$(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)
[[ "$actions" == *_NET_WM_ACTION_MINIMIZE* ]] || fail "the frame cannot be minimized: $actions"
[[ "$actions" != *_NET_WM_ACTION_RESIZE* && "$actions" != *_NET_WM_ACTION_MAXIMIZE* ]] ||
  fail "the frame can be resized or maximized: $actions"
read -r x y < <(cd "$work" && wine "$probe" row 1 </dev/null) || fail "the console was not found"
xdotool type --delay 40 'version'
xdotool key Return
sleep 1
xdotool mousemove "$x" "$y" click --repeat 3 --delay 80 1
xdotool key ctrl+shift+c
sleep 0.5
copied=$(cd "$work" && wine "$probe" clipboard </dev/null | tr -d '\r')
[ "$copied" = "Zelk Script Compiler Version 1.01" ] ||
  fail "the console's second line read '$copied', not the version line"
xdotool type --delay 40 'exit'
xdotool key Return
timeout 20 tail --pid="$desktop_pid" -f /dev/null || fail "exit did not end the program"
entry=$(wine reg query "$reg\\Recent File List" /v File1 </dev/null 2>/dev/null | tr -d '\r')
[[ "$entry" == *intro.scr* ]] || fail "the recent-file list holds no intro.scr: $entry"
[ -f "$work/zelk.cfg" ] || fail "exit saved no options file"
exit $status
