#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The whole process of a batch compile of examples/intro.scr against cp of the same file, as a
# build tool pays them: the two alternate, RUNS times each (20 unless given), in a scratch
# directory. Prints the median of each and the ratio of the medians. A build configured with
# -DZELK_BUILD_GUI=OFF gives the program without the desktop libraries.
# Usage: bench/process.sh [BUILD_DIR] [RUNS]
set -euo pipefail
export LC_ALL=C  # EPOCHREALTIME with a decimal point
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-20}
zelk=$build/src/zelk
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src" "$work/out" "$work/home"
cp "$root/examples/intro.scr" "$work/src/intro.scr"
cd "$work"
export HOME=$work/home

compile() {
  "$zelk" -c 'sv_load_dir = "src";' -c 'sv_save_dir = "out";' -c 'compile intro' >/dev/null
}
if ! compile || [ ! -s out/intro.dat ]; then
  echo "process.sh: $zelk did not compile examples/intro.scr" >&2
  exit 1
fi

# Each run's times, taken from EPOCHREALTIME (seconds with microseconds) without starting a
# process of their own.
zelk_times=()
cp_times=()
for ((i = 0; i < runs; i++)); do
  start=$EPOCHREALTIME; compile; end=$EPOCHREALTIME
  zelk_times+=("$start $end")
  start=$EPOCHREALTIME; cp src/intro.scr out/copy.scr; end=$EPOCHREALTIME
  cp_times+=("$start $end")
done

# The median duration of "start end" pairs, in milliseconds.
median() { printf '%s\n' "$@" | awk '{ print ($2 - $1) * 1000 }' | sort -g | awk '{ v[NR] = $1 }
  END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
zelk_median=$(median "${zelk_times[@]}")
cp_median=$(median "${cp_times[@]}")
awk -v z="$zelk_median" -v c="$cp_median" -v n="$runs" 'BEGIN {
  printf "zelk -c compile intro: median %.2f ms of %d runs\n", z, n
  printf "cp intro.scr:          median %.2f ms of %d runs\n", c, n
  printf "ratio:                 %.2f\n", z / c }'
