#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer harnesses with clang (AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each one for a while on its committed corpus. Fails when a harness finds a crash, a
# sanitizer report or a broken check; the input that did it is left in the artifacts directory.
#
#   scripts/run-fuzzers.sh [SECONDS_PER_HARNESS] [HARNESS...]
#
# Environment: BUILD_DIR (default build-fuzz), ARTIFACTS (default $BUILD_DIR/fuzz-artifacts),
# FUZZ_JOBS (harnesses run side by side, default: the number of processors).
# New inputs that the run finds go to a scratch directory, never into fuzz/corpus; to keep some,
# minimise them into the corpus with the harness's -merge=1 (see fuzz/README.md).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/fuzz-options.sh"
seconds=${1:-30}
shift || true
build=${BUILD_DIR:-$root/build-fuzz}
artifacts=${ARTIFACTS:-$build/fuzz-artifacts}
jobs=${FUZZ_JOBS:-$(nproc)}
harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  harnesses=(ParseStatementFuzzer CompileFuzzer OptionsFileFuzzer DecompileFuzzer ConsoleFuzzer
    LspFuzzer FlowFuzzer FormatFuzzer HostPathFuzzer)
fi

CC=${CC:-clang} CXX=${CXX:-clang++} cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELK_BUILD_FUZZERS=ON -DZELK_BUILD_GUI=OFF \
  -DZELK_BUILD_TESTS=OFF -DZELK_BUILD_BENCHMARKS=OFF -DZELK_WERROR=ON > /dev/null
cmake --build "$build" --target zelk_fuzzers

mkdir -p "$artifacts"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

run_one() {
  local name=$1
  mkdir -p "$scratch/$name"
  local options
  mapfile -t options < <(fuzz_options "$build" "$name")
  # -timeout: an input that takes longer than 10 s is a hang; -rss_limit_mb: one that needs
  # more than 1 GB is a leak of memory. Both count as findings.
  if "$build/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$name-" "${options[@]}" \
      "$scratch/$name" "$root/fuzz/corpus/$name" > "$scratch/$name.log" 2>&1; then
    local runs
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$scratch/$name.log" | grep -o '[0-9]*$')
    echo "$name: ok, $runs executions in ${seconds}s ($((runs / seconds))/s, load $(cut -d' ' -f1 /proc/loadavg))"
  else
    echo "$name: FAILED"
    grep -E -A20 'check failed|ERROR:|runtime error|Test unit written' "$scratch/$name.log" |
      head -n 60
    return 1
  fi
}

status=0
pids=()
for name in "${harnesses[@]}"; do
  run_one "$name" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
exit $status
