#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A fuzzing campaign: every harness in turn, two processes at once (one on each processor,
# sharing what they find), for HOURS hours in all; then the committed corpus is made again from
# its named inputs, the rest of it and what they found (scripts/fuzz-minimise.sh). A finding
# (crash, sanitizer report, broken check, hang, leak) is kept in the artifacts directory and the
# process starts again, so that one finding does not end the harness's share of the time.
#
#   scripts/fuzz-campaign.sh HOURS [HARNESS...]
#
# Prints a line per harness: inputs executed, the coverage reached (libFuzzer's cov: edges and
# ft: features), the inputs new to the corpus and the findings. Environment: BUILD_DIR (default
# build-fuzz), ARTIFACTS (default $BUILD_DIR/campaign-artifacts), FUZZ_PROCESSES (default 2).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/fuzz-options.sh"
hours=${1:?usage: fuzz-campaign.sh HOURS [HARNESS...]}
shift
build=${BUILD_DIR:-$root/build-fuzz}
artifacts=${ARTIFACTS:-$build/campaign-artifacts}
processes=${FUZZ_PROCESSES:-2}

CC=${CC:-clang} CXX=${CXX:-clang++} cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELK_BUILD_FUZZERS=ON -DZELK_BUILD_GUI=OFF \
  -DZELK_BUILD_TESTS=OFF -DZELK_BUILD_BENCHMARKS=OFF -DZELK_WERROR=ON > /dev/null
cmake --build "$build" --target zelk_fuzzers > /dev/null

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for exe in "$build"/fuzz/*Fuzzer; do harnesses+=("$(basename "$exe")"); done
fi
share=$(awk -v h="$hours" -v n=${#harnesses[@]} 'BEGIN { printf "%d", h * 3600 / n }')
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One process of a harness until its end time, started again after each finding.
fuzz_until() {
  local name=$1 index=$2 end=$3 found=$4
  local options run=0
  mapfile -t options < <(fuzz_options "$build" "$name")
  while [ "$(date +%s)" -lt "$end" ]; do
    run=$((run + 1))
    local log=$work/$name.$index.$run.log started
    started=$(date +%s)
    if ! "$build/fuzz/$name" -max_total_time=$((end - started)) -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/$name-" \
        "${options[@]}" "$found" "$root/fuzz/corpus/$name" > "$log" 2>&1; then
      if ! grep -q 'Test unit written' "$log"; then
        echo "$name: the harness did not run" >&2
        tail -5 "$log" >&2
        return 1
      fi
      # A finding while the corpus is read: the corpus itself fails, so new runs would too.
      if ! grep -q 'INITED' "$log"; then
        echo "$name: an input of the corpus fails: $(grep 'Test unit written' "$log")" >&2
        return 1
      fi
    fi
  done
}

printf '%-22s %14s %7s %7s %7s %s\n' harness executed cov ft added findings
for name in "${harnesses[@]}"; do
  found=$work/$name.found
  mkdir -p "$found"
  before=$(find "$artifacts" -name "$name-*" | wc -l)
  end=$(($(date +%s) + share))
  pids=()
  for index in $(seq "$processes"); do
    fuzz_until "$name" "$index" "$end" "$found" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || true; done

  executed=$(cat "$work/$name".*.log | grep -o 'stat::number_of_executed_units: *[0-9]*' |
    grep -o '[0-9]*$' | paste -sd+ | bc)
  # The coverage of the last report of any process (each counts what the shared corpus reaches).
  read -r cov ft < <(cat "$work/$name".*.log | grep -o 'cov: [0-9]* ft: [0-9]*' |
    awk '{ if ($2 > c) c = $2; if ($4 > f) f = $4 } END { print c + 0, f + 0 }')
  added=?
  if BUILD_DIR=$build "$root/scripts/fuzz-minimise.sh" "$name" "$found" > "$work/$name.merge.log"; then
    added=$(grep -o '[0-9]* new$' "$work/$name.merge.log" | grep -o '^[0-9]*')
  fi
  findings=$(($(find "$artifacts" -name "$name-*" | wc -l) - before))
  printf '%-22s %14s %7s %7s %7s %s\n' "$name" "${executed:-0}" "$cov" "$ft" "$added" "$findings"
done
echo "findings, if any: $artifacts"
