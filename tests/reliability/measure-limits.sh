#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Time and peak memory of the zelk binary at the hard limits, in batch mode on real files.
#
#   tests/reliability/measure-limits.sh path/to/zelk
#
# Prints one row per case: exit status, wall seconds, peak resident memory (GNU time's %M) and
# the last console line of the run. Needs GNU time (/usr/bin/time) and about 600 MB of free
# space in $TMPDIR for the compiled file of a million records.
set -euo pipefail

zelk=$(realpath "${1:?usage: measure-limits.sh path/to/zelk}")
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
mkdir -p "$work/src" "$work/out"

repeat() {  # repeat <count> <text>: the text count times
  python3 -c 'import sys; sys.stdout.write(sys.argv[2] * int(sys.argv[1]))' "$1" "$2"
}

# measure <case> <directory> <console line>...: runs zelk -c ... in the directory.
measure() {
  local name=$1 dir=$2
  shift 2
  local args=()
  for line in "$@"; do args+=(-c "$line"); done
  local status=0
  (cd "$dir" && /usr/bin/time -f '%e %M' -o "$work/time" "$zelk" "${args[@]}" \
      > "$work/transcript" 2> "$work/stderr") || status=$?
  # GNU time puts "Command exited with non-zero status" first when the status is not 0.
  read -r seconds kilobytes < <(tail -n 1 "$work/time")
  local last
  last=$(grep -v -- '^---' "$work/transcript" | tail -n 1 | cut -c1-80)
  printf '%-28s exit %d  %7.2f s  %8d KB  %s\n' "$name" "$status" "$seconds" "$kilobytes" "$last"
}

compile() {  # compile <case> <source name>
  measure "$1" "$work" "sv_load_dir = \"$work/src\";" "sv_save_dir = \"$work/out\";" "compile $2"
}

: > "$work/src/empty.scr"
compile "empty source" empty

{ printf 'stand '; repeat 10485760 x; printf '\nwait(2);\n'; } > "$work/src/longline.scr"
compile "one line of 10 MB" longline

{ printf 'stand;\n'; repeat 10485760 x; } > "$work/src/longlast.scr"
compile "10 MB last line, no LF" longlast

repeat 1000000 $'wait(1.5);\n' > "$work/src/million.scr"
compile "a million statements" million
ls -l "$work/out/million.dat" | awk '{ printf "%-28s %s bytes\n", "  compiled file", $5 }'
rm -f "$work/out/million.dat"

{ repeat 999999 $'stand;\n'; printf 'goto(nowhere);\n'; } > "$work/src/millionerr.scr"
compile "error on line 1,000,000" millionerr
rm -f "$work/out/millionerr.dat"

python3 -c 'import sys; sys.stdout.write("".join("label@l%d;\n" % i for i in range(10000)) + "stand;\n")' \
  > "$work/src/labels.scr"
compile "10,000 labels" labels

python3 -c 'import sys; sys.stdout.write("label@l;\n" + "".join("on_use(u%d, l);\n" % i for i in range(1000)))' \
  > "$work/src/users.scr"
compile "1,000 on_use users" users

python3 -c 'import sys; sys.stdout.write("label@l;\n" + "".join("on_use(u%d, l);\n" % (i % 100) for i in range(100000)))' \
  > "$work/src/users100.scr"
compile "100,000 on_use, 100 users" users100

long=$work
while [ ${#long} -le 300 ]; do long=$long/$(printf 'd%.0s' {1..60}); done
mkdir -p "$long"
measure "start-up dir of ${#long} chars" "$long" god status

printf 'stand;\n' > "$work/src/a.scr"
measure "load dir that is a file" "$work" "sv_load_dir = \"$work/src/a.scr\";" "compile a"
measure "save dir that is a file" "$work" "sv_load_dir = \"$work/src\";" \
  "sv_save_dir = \"$work/src/a.scr\";" "compile a"
