#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Peak memory of a compile against the size of the source: the compile streams, so the peak
# resident set must stay flat from 20,000 to 2,000,000 statements.
# Usage: bench/memory.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf '%12s %14s %14s %12s\n' statements source_bytes compiled_bytes peak_rss_KiB
for n in 20000 200000 2000000; do
  "$build/bench/zelk_compile_bench" --write-source "$n" scene.scr
  /usr/bin/time -f %M -o rss.txt "$build/src/zelk" -c 'sv_load_dir = ".";' -c 'sv_save_dir = ".";' \
    -c 'compile scene' >/dev/null
  printf '%12s %14s %14s %12s\n' "$n" "$(stat -c %s scene.scr)" "$(stat -c %s scene.dat)" \
    "$(cat rss.txt)"
  rm -f scene.scr scene.dat
done
