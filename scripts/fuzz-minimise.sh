#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes a harness's committed corpus again from the ground: its named inputs (seed-*, made by
# fuzz/make-seeds.sh, and regression-*, the inputs of mended findings) stay as they are; of the
# rest, and of the inputs in each NEW_DIR, libFuzzer's -merge=1 keeps the fewest and smallest
# that reach what the named inputs do not. Merging new inputs into the corpus as it stands only
# ever adds; inputs that later ones made redundant stay. Starting from the named inputs drops
# them, and the coverage of the whole stays the same.
#
#   scripts/fuzz-minimise.sh HARNESS [NEW_DIR...]
#
# Prints the files and bytes of the corpus before and after, and the files new to it. The
# harness is taken from BUILD_DIR (default build-fuzz), built as scripts/run-fuzzers.sh does.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
name=${1:?usage: fuzz-minimise.sh HARNESS [NEW_DIR...]}
shift
build=${BUILD_DIR:-$root/build-fuzz}
corpus=$root/fuzz/corpus/$name
[ -x "$build/fuzz/$name" ] || { echo "$name: no harness in $build/fuzz" >&2; exit 1; }
[ -d "$corpus" ] || { echo "$name: no corpus in $corpus" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/fresh" "$work/rest"
# Inputs that merges wrote carry the SHA-1 of their bytes as their name; the others are named.
for file in "$corpus"/*; do
  if [[ $(basename "$file") =~ ^[0-9a-f]{40}$ ]]; then
    cp "$file" "$work/rest/"
  else
    cp "$file" "$work/fresh/"
  fi
done

if ! "$build/fuzz/$name" -merge=1 -timeout=10 -rss_limit_mb=2048 \
    "$work/fresh" "$work/rest" "$@" > "$work/merge.log" 2>&1; then
  echo "$name: the merge failed, the corpus is left as it was" >&2
  tail -5 "$work/merge.log" >&2
  exit 1
fi

files() { find "$1" -type f | wc -l; }
bytes() { find "$1" -type f -exec cat {} + | wc -c; }
added=$(comm -13 <(ls "$corpus" | sort) <(ls "$work/fresh" | sort) | wc -l)
before="$(files "$corpus") files, $(bytes "$corpus") bytes"
rm -rf "$corpus"
cp -r "$work/fresh" "$corpus"
echo "$name: $before before, $(files "$corpus") files, $(bytes "$corpus") bytes after; $added new"
