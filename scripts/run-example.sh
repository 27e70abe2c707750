#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets everything up, then compiles the bundled example scene examples/intro.scr into
# out/intro.dat with zelk in batch mode, and shows the start of its decompiled form.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build
mkdir -p out
cd out
../build/src/zelk -c 'sv_load_dir = "../examples";' -c 'sv_save_dir = ".";' -c 'compile intro'
echo
echo "out/intro.dat: $(stat -c %s intro.dat) bytes; decompiled, it begins:"
../build/src/zelk --decompile intro.dat | head -n 8
