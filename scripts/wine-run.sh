#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a Windows program of the build under Wine: wine-run.sh PREFIX PROGRAM [ARGUMENTS...].
# CMake gives it as the emulator of the Windows build (ctest, GoogleTest's discovery). The Wine
# prefix lives in the build folder; the first use starts Wine's services once (slow), with their
# output sent away, and keeps one wineserver for the whole run, so that each test pays no Wine
# start-up and no Wine service holds a test's output pipe open.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
if [ ! -e "$prefix/.zelk-ready" ]; then
  mkdir -p "$prefix"
  (
    flock 9
    if [ ! -e "$prefix/.zelk-ready" ]; then
      wineboot --init </dev/null >/dev/null 2>&1
      touch "$prefix/.zelk-ready"
    fi
  ) 9>"$prefix.lock"
fi
wineserver -p </dev/null >/dev/null 2>&1 || true
exec wine "$@"
