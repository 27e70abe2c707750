#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Records the expected outputs of the golden cases and the hash list of the generated sources
# with the zelk binary of BUILD_DIR, after an intended change of behaviour. Without case names it
# records every case; read the result with `git diff tests/golden` before committing it.
#
#   tests/golden/record.sh BUILD_DIR [CASE ...]
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [CASE ...]" >&2
  exit 2
fi
build=$1
shift
cmake --build "$build" --target zelk_golden_tests
filter='Cases/*:Generated.*'
if [ $# -gt 0 ]; then
  filter=""
  for name in "$@"; do
    [ -d "$(dirname "$0")/cases/$name" ] || { echo "$0: no case $name" >&2; exit 2; }
    filter+="Cases/Golden.Replay/${name//[^A-Za-z0-9]/_}:"
  done
fi
ZELK_GOLDEN_RECORD=1 "$build/tests/golden/zelk_golden_tests" --gtest_filter="$filter" --gtest_brief=1
