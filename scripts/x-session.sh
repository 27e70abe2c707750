# SPDX-License-Identifier: MIT
# Sourced by the scripts that show a window: a virtual X server (Xvfb) with a window manager
# (openbox) in a scratch home, so that windows get a frame, one of them is active and the user's
# own settings stay untouched.
#
#   start_x_session WIDTHxHEIGHT SCRATCH
#
# starts both, exports DISPLAY, HOME and the XDG folders (all inside SCRATCH), adds the two
# processes to the caller's array `pids` and leaves xvfb.log and openbox.log in SCRATCH. It returns
# 1 with a message on standard error when either does not come up.

# Waits until the command succeeds, at most 20 seconds.
wait_for() {
  local _
  for _ in $(seq 200); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

# The window manager's check window is set on the root window: the manager is running.
x_session_has_manager() {
  xprop -root -notype _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

start_x_session() {
  local size=$1 scratch=$2 attempt pid
  exec 3>"$scratch/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
  pids+=($!)
  exec 3>&-
  wait_for grep -q '^[0-9][0-9]*$' "$scratch/display" ||
    { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$(head -n 1 "$scratch/display")
  export HOME=$scratch XDG_CONFIG_HOME=$scratch/.config XDG_CACHE_HOME=$scratch/.cache
  export XDG_RUNTIME_DIR=$scratch XDG_DATA_HOME=$scratch/.local/share
  # The server has named its display; wait until it also answers a request.
  wait_for xprop -root -notype _NET_WORKAREA || { echo "Xvfb does not answer on $DISPLAY" >&2; return 1; }
  # On a busy machine openbox has been seen to give up on a display that had just come up; a
  # manager that exits before it has announced itself is started again.
  for attempt in 1 2 3; do
    openbox --sm-disable >>"$scratch/openbox.log" 2>&1 &
    pid=$!
    pids+=($pid)
    local _
    for _ in $(seq 200); do
      x_session_has_manager && return 0
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    echo "openbox did not start (attempt $attempt)" >>"$scratch/openbox.log"
  done
  echo "openbox did not start on $DISPLAY" >&2
  return 1
}
